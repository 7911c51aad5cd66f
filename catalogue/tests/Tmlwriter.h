#pragma once
// Builds TimeLine project files from clip tables, for the tests, the benchmarks and the fuzz seeds.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct TmlClip {
  int32_t start = 0;
  int32_t end = 0;
  int32_t sourceIn = 0;
  int32_t videoTrack = -1;  // -1: no track record
  int32_t audioTrack = -1;
  std::string video;        // video source name; empty: no name record
  std::string audio;        // audio source name; empty: no name record
};

class TmlBytes {
 public:
  std::vector<uint8_t> bytes;

  TmlBytes& Header() {
    static const char text[34] = "TimeLine Project (c) Firm Halvern";
    bytes.insert(bytes.end(), text, text + 34);
    return *this;
  }
  TmlBytes& Int(int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; i++) bytes.push_back(static_cast<uint8_t>(u >> (8 * i)));
    return *this;
  }
  TmlBytes& Raw(const void* data, size_t n) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + n);
    return *this;
  }
  TmlBytes& Raw(const std::vector<uint8_t>& data) { return Raw(data.data(), data.size()); }
  // A record: tag, size of the content, content.
  TmlBytes& Record(int32_t tag, const std::vector<uint8_t>& content) {
    return Int(tag).Int(static_cast<int32_t>(content.size())).Raw(content);
  }
  TmlBytes& Value(int32_t tag, int32_t v) { return Int(tag).Int(4).Int(v); }
  TmlBytes& Name(int32_t tag, const std::string& name) {
    std::vector<uint8_t> c(name.begin(), name.end());
    c.push_back(0);
    return Record(tag, c);
  }
  TmlBytes& Values(int32_t tag, const std::vector<int32_t>& values) {
    TmlBytes c;
    for (int32_t v : values) c.Int(v);
    return Record(tag, c.bytes);
  }

  static std::vector<uint8_t> Clip(const TmlClip& clip) {
    TmlBytes c;
    c.Value(402, clip.start).Value(403, clip.end).Value(405, clip.sourceIn);
    int32_t sourceEnd = clip.sourceIn + (clip.end - clip.start);
    c.Value(406, sourceEnd < 0 ? 0 : sourceEnd);
    if (clip.videoTrack >= 0) c.Value(455, clip.videoTrack);
    if (!clip.video.empty()) c.Name(456, clip.video);
    c.Value(457, 1000);
    if (!clip.audio.empty()) c.Name(461, clip.audio);
    if (clip.audioTrack >= 0) c.Value(462, clip.audioTrack);
    return c.bytes;
  }
};

// A whole project: track switches and clips.
struct TmlProjectTable {
  std::vector<int32_t> audioSolo, audioMute, videoSolo, videoMute, audioLevel;
  std::vector<TmlClip> clips;

  std::vector<uint8_t> Build() const {
    TmlBytes project;
    if (!audioSolo.empty()) project.Values(109, audioSolo);
    if (!audioMute.empty()) project.Values(110, audioMute);
    if (!videoSolo.empty()) project.Values(111, videoSolo);
    if (!videoMute.empty()) project.Values(112, videoMute);
    if (!audioLevel.empty()) project.Values(124, audioLevel);
    project.Values(128, {512});
    for (const TmlClip& clip : clips) project.Record(400, TmlBytes::Clip(clip));
    TmlBytes file;
    file.Header();
    file.Record(7, {1, 2, 3});  // a record before the project block is skipped
    file.Record(100, project.bytes);
    return file.bytes;
  }
};

inline bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

// Generated projects for benchmarks and random comparisons. A small linear congruential generator
// keeps them identical on every system.
class TmlRandom {
 public:
  explicit TmlRandom(uint32_t seed) : state(seed * 2654435761u + 1) {}
  uint32_t Next() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  }
  int32_t Below(int32_t n) { return n <= 0 ? 0 : static_cast<int32_t>(Next() % static_cast<uint32_t>(n)); }

 private:
  uint32_t state;
};

// n clips one after the other on video track 0, each with its audio on track 0.
inline TmlProjectTable SequentialProject(int32_t n) {
  TmlProjectTable t;
  t.clips.reserve(static_cast<size_t>(n));
  int32_t step = 86400000 / (n + 1);
  if (step > 4000) step = 4000;
  for (int32_t i = 0; i < n; i++) {
    TmlClip c;
    c.start = i * step;
    c.end = c.start + step;
    c.sourceIn = 0;
    c.videoTrack = 0;
    c.audioTrack = 0;
    c.video = c.audio = "clip" + std::to_string(i % 100) + ".avi";
    t.clips.push_back(c);
  }
  return t;
}

// n clips with a few overlaps each, on both video tracks and four audio tracks, some with their
// audio as a separate clip.
inline TmlProjectTable OverlappingProject(int32_t n, uint32_t seed = 1) {
  TmlProjectTable t;
  TmlRandom r(seed);
  t.clips.reserve(static_cast<size_t>(n));
  int32_t step = 86400000 / (n + 1);
  if (step > 2000) step = 2000;
  for (int32_t i = 0; i < n; i++) {
    TmlClip c;
    c.start = i * step + r.Below(step);
    c.end = c.start + step * (1 + r.Below(3)) + r.Below(step);
    if (c.end > 86400000) c.end = 86400000;
    c.sourceIn = r.Below(10000);
    std::string name = "take" + std::to_string(r.Below(50)) + ".avi";
    switch (r.Below(3)) {
      case 0: c.videoTrack = r.Below(2); c.video = name; break;
      case 1: c.audioTrack = r.Below(4); c.audio = name; break;
      default:
        c.videoTrack = r.Below(2);
        c.audioTrack = r.Below(4);
        c.video = c.audio = name;
        break;
    }
    t.clips.push_back(c);
  }
  return t;
}
