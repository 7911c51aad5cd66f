#include <windows.h>

#include "shell/Language.h"

aStrd UserCountryCode() {
  char code[16];
  int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY, code, sizeof code);
  if (n <= 1) return aStrd();
  return TempCopy(aStrd(code, n - 1));
}
