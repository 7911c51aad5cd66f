// Directory search and name order of Windows.

#include <windows.h>

#include "catalogue/Dirsearch.h"

bool SearchDirectory(const char* path, aFoundName found, void* context, aDirSnapshot*) {
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA(path, &entry);
  if (search == INVALID_HANDLE_VALUE) return false;
  do {
    entry.cFileName[MAX_PATH - 1] = 0;
    found(context, entry.cFileName, static_cast<int32_t>(lstrlenA(entry.cFileName)));
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return true;
}

int CompareNamesNoCase(aStrd a, aStrd b) {
  int r = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data ? a.data : "", a.length,
                         b.data ? b.data : "", b.length);
  return r == 0 ? 0 : r - CSTR_EQUAL;
}

// The locale's order has no byte-wise prefix: every comparison goes to the system.
uint64_t NameOrderKey(aStrd) { return 0; }
