// The AVI duration reader over arbitrary bytes: it must end with true or false, never read outside
// the file's bytes, and leave the file closed.
#include <cstddef>
#include <cstdint>

#include "catalogue/Aviduration.h"
#include "catalogue/tests/Memoryfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  aMemoryFile file(data, size);
  double seconds = -1;
  bool ok = ReadAviDuration(file, "fuzz.avi", &seconds, false);
  if (file.isOpen) __builtin_trap();
  if (!ok && seconds != -1) __builtin_trap();  // untouched on failure
  return 0;
}
