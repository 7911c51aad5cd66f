#include "foundation/PathInfo.h"

aPathInfo::aPathInfo(aStrd fullPath) : path(fullPath), number(0) {
  const char* p = path.data;
  int32_t n = path.length;
  int32_t dirStart = 0, nameStart = 0, extStart = -1;
  for (int32_t i = 0; i < n; i++) {
    char c = p[i];
    if (c == ':') {
      dirStart = nameStart = i + 1;
      extStart = -1;
    } else if (c == '\\' || c == '/') {
      nameStart = i + 1;
      extStart = -1;
    } else if (c == '.') {
      extStart = i;
    }
  }
  if (extStart < 0) extStart = n;
  drive = path.Sub(0, dirStart);
  directory = path.Sub(dirStart, nameStart - dirStart);
  fileName = path.Sub(nameStart, extStart - nameStart);
  extension = path.Sub(extStart, n - extStart);

  int32_t d = fileName.length;
  while (d > 0 && fileName.data[d - 1] >= '0' && fileName.data[d - 1] <= '9') d--;
  stem = fileName.Sub(0, d);
  digits = fileName.Sub(d, fileName.length - d);
  int64_t value = 0;
  for (int32_t i = 0; i < digits.length; i++) {
    value = value * 10 + (digits.data[i] - '0');
    if (value > INT32_MAX) {
      value = INT32_MAX;  // a longer run of digits saturates
      break;
    }
  }
  number = static_cast<int32_t>(value);
}
