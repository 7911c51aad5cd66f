#include <windows.h>

#include "shell/App.h"

aStrd ExecutableName() {
  for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
    aString name(static_cast<int32_t>(size), 1);
    DWORD n = GetModuleFileNameA(nullptr, name.data, size);
    if (n == 0) return aStrd();
    if (n < size) return TempCopy(aStrd(name.data, static_cast<int32_t>(n)));
  }
  return aStrd();
}
