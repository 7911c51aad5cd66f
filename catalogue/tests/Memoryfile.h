#pragma once
// A file object over bytes in memory, for the reader's tests and its fuzzer.

#include <cstdint>
#include <cstring>

#include "foundation/File.h"

class aMemoryFile : public aFile {
 public:
  aMemoryFile(const void* bytes, size_t count) : bytes(static_cast<const uint8_t*>(bytes)), count(count) {}
  ~aMemoryFile() override { Close(); }

  bool OpenRaw() override {
    size = count;
    return true;
  }
  bool ReadRaw(void* buffer, int32_t n, int32_t* got) override {
    uint64_t available = position < count ? count - position : 0;
    *got = n < 0 ? 0 : (static_cast<uint64_t>(n) < available ? n : static_cast<int32_t>(available));
    if (*got > 0) std::memcpy(buffer, bytes + position, static_cast<size_t>(*got));
    return true;
  }
  bool WriteRaw(const void*, int32_t, int32_t* put) override {
    *put = 0;
    return false;
  }
  bool SeekRaw(uint64_t) override { return true; }
  bool TruncateRaw() override { return false; }

 private:
  const uint8_t* bytes;
  size_t count;
};
