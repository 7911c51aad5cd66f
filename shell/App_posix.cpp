#include <unistd.h>

#include "shell/App.h"

aStrd ExecutableName() {
  aString name(4096, 1);
  ssize_t n = readlink("/proc/self/exe", name.data, 4096);
  if (n <= 0 || n >= 4096) return aStrd();
  return TempCopy(aStrd(name.data, static_cast<int32_t>(n)));
}
