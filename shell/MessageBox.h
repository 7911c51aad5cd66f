#pragma once
// The standard message box behind the "CallMessWait" hook: icon and button codes become the
// system's message-box styles and the system's answer becomes the shell's.

#include <cstdint>

#include "foundation/Strings.h"

// "!" 0x30, "?" 0x20, "i" 0x40, "x" 0x10, anything else no icon.
uint32_t MessageBoxIconStyle(aStrd icon);
// "Ok|Cancel" 0x1, "Retry|Cancel" 0x5, "Yes|No" 0x4, "Yes|No|Cancel" 0x3, anything else OK (0).
uint32_t MessageBoxButtonStyle(aStrd buttons);
// 1 for OK, Yes or Retry; for No 0 with "Yes|No" and 2 otherwise; 0 for anything else.
int MessageBoxAnswer(aStrd buttons, int systemAnswer);

// Shows the box and returns the mapped answer.
int StandardMessageBox(aStrd text, aStrd title, aStrd icon, aStrd buttons);

// The system's modal message box with the given styles; its raw answer (IDOK ...), or -1 when
// none can be shown. Platform.
int SystemMessageBox(const char* text, const char* title, uint32_t style);
