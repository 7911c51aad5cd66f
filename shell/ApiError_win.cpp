#include <windows.h>

#include "shell/ApiError.h"

bool AppendSystemErrorText(int32_t code, aStringMaker& out) {
  char* buffer = nullptr;
  // Without IGNORE_INSERTS a system text with "%1" would be filled from arguments nobody passed.
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, static_cast<DWORD>(code), 0,
                           reinterpret_cast<char*>(&buffer), 0, nullptr);
  if (n == 0 || !buffer) return false;
  out.Append(aStrd(buffer, static_cast<int32_t>(n)));
  LocalFree(buffer);
  return true;
}
