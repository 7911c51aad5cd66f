#include <windows.h>

#include "shell/MessageBox.h"

// Modal to the window the user works in, as the application's own message box is.
int SystemMessageBox(const char* text, const char* title, uint32_t style) {
  return MessageBoxA(GetActiveWindow(), text, title, style);
}
