#include <string.h>

#include "shell/ApiError.h"

// Natively the codes are errno values; strerrordesc_np has no text for unknown ones, as the
// system message table of Windows has none for foreign codes.
bool AppendSystemErrorText(int32_t code, aStringMaker& out) {
  const char* text = strerrordesc_np(code);
  if (!text) return false;
  out.Append(text);
  return true;
}
