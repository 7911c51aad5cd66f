#include "catalogue/Aviduration.h"

#include <cstdint>

namespace {

uint32_t Code(const char* c) {
  return static_cast<uint32_t>(static_cast<unsigned char>(c[0])) |
         static_cast<uint32_t>(static_cast<unsigned char>(c[1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(c[2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(c[3])) << 24;
}

uint32_t At(const unsigned char* b) {
  return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
         static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
}

// A value read is used only when the read succeeded.
bool Value(aFile& file, uint32_t* value) {
  unsigned char b[4];
  if (!file.Read(b, 4)) return false;
  *value = At(b);
  return true;
}

enum Step { kRead, kFormat, kMatch };

// kMatch when the next value is the code; kFormat for another value; kRead when it cannot be read.
Step Expect(aFile& file, const char* code) {
  uint32_t v;
  if (!Value(file, &v)) return kRead;
  return v == Code(code) ? kMatch : kFormat;
}

const uint64_t kStreamListHead = 20;  // "LIST", size, "strl", "strh", chunk size
const int32_t kStreamHeader = 56;

// kMatch with *seconds set, or why not.
Step Walk(aFile& file, double* seconds) {
  Step s;
  uint32_t size;
  if ((s = Expect(file, "RIFF")) != kMatch) return s;
  if (!Value(file, &size)) return kRead;
  if ((s = Expect(file, "AVI ")) != kMatch) return s;
  if ((s = Expect(file, "LIST")) != kMatch) return s;
  if (!Value(file, &size)) return kRead;
  uint64_t headerEnd = file.position + size;
  if ((s = Expect(file, "hdrl")) != kMatch) return s;
  if ((s = Expect(file, "avih")) != kMatch) return s;
  if (!Value(file, &size)) return kRead;
  if (!file.Skip(size)) return kRead;

  while (file.position + kStreamListHead + kStreamHeader <= headerEnd) {
    if ((s = Expect(file, "LIST")) != kMatch) return s;
    if (!Value(file, &size)) return kRead;
    uint64_t streamEnd = file.position + size;
    if ((s = Expect(file, "strl")) != kMatch) return s;
    if ((s = Expect(file, "strh")) != kMatch) return s;
    if (!Value(file, &size)) return kRead;
    if (size < static_cast<uint32_t>(kStreamHeader)) return kFormat;
    unsigned char header[kStreamHeader];
    if (!file.Read(header, kStreamHeader)) return kFormat;
    uint32_t type = At(header);
    if (type == Code("vids") || type == Code("iavs")) {
      uint32_t scale = At(header + 20), rate = At(header + 24), length = At(header + 32);
      if (rate == 0 || scale == 0) return kFormat;
      long double d = static_cast<long double>(length) * scale;
      *seconds = static_cast<double>(d / rate);
      return kMatch;
    }
    if (!file.Seek(streamEnd)) return kRead;
  }
  return kFormat;
}

}  // namespace

bool ReadAviDuration(aFile& file, aStrd fileName, double* seconds, bool report) {
  if (!file.Open(fileName, report ? 0 : kFileQuiet)) return false;
  double d;
  Step s = Walk(file, &d);
  if (s == kMatch) {
    file.Close();
    *seconds = d;
    return true;
  }
  // A failed read has closed the file already.
  if (s == kFormat) file.FormatError(aStrd());
  file.Close();
  return false;
}

bool ReadAviDuration(aStrd fileName, double* seconds, bool report) {
  aWinFile file;
  return ReadAviDuration(file, fileName, seconds, report);
}
