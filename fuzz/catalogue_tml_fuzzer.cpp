// The TimeLine project reader over arbitrary bytes. Besides staying inside its input, the
// normalised clip list must be exactly what the literal quadratic walk gives.
#include <cstddef>
#include <cstdint>

#include "catalogue/read_tml.h"
#include "catalogue/tests/Tmlliteral.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  aTmlMemory source(data, size);
  aTmlProject project;
  if (!project.Read(source, "D:\\proj\\fuzz.tml")) return 0;
  LiteralResult literal = LiteralNormalise(project);
  project.Normalise();
  double seconds = 0;
  bool hasVideo = false;
  bool active = project.Duration(&seconds, &hasVideo);
  if (active != literal.active || hasVideo != literal.hasVideo ||
      (active && seconds != literal.seconds))
    __builtin_trap();
  for (size_t i = 0; i < project.films.size(); i++) {
    const Film& f = project.films[i];
    const LiteralClip& l = literal.clips[i];
    if (f.start != l.start || f.end != l.end || f.sourceIn != l.sourceIn ||
        f.sourceOut != l.sourceOut || f.videoTrack != l.videoTrack || f.audioTrack != l.audioTrack)
      __builtin_trap();
  }
  return 0;
}
