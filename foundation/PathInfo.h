#pragma once
// Splits a path once into views of its parts; nothing is copied. "\" and "/" both separate.

#include <cstdint>

#include "foundation/Strings.h"

class aPathInfo {
 public:
  aStrd path;
  aStrd drive;      // up to and including the last ":"
  aStrd directory;  // after the drive, up to and including the last "\" or "/"
  aStrd fileName;   // the last component without its extension
  aStrd extension;  // from the last "." of the last component, dot included
  aStrd stem;       // fileName without its trailing decimal digits
  aStrd digits;     // the trailing decimal digits of fileName
  int32_t number;   // value of digits (0 without); a value beyond 32 bits gives 2147483647

  explicit aPathInfo(aStrd fullPath);
};
