#include "shell/MessageBox.h"

namespace {

// The system's answers.
enum { kIdOk = 1, kIdCancel = 2, kIdRetry = 4, kIdYes = 6, kIdNo = 7 };

}  // namespace

uint32_t MessageBoxIconStyle(aStrd icon) {
  if (icon.Equals("!")) return 0x30;
  if (icon.Equals("?")) return 0x20;
  if (icon.Equals("i")) return 0x40;
  if (icon.Equals("x")) return 0x10;
  return 0;
}

uint32_t MessageBoxButtonStyle(aStrd buttons) {
  if (buttons.Equals("Ok|Cancel")) return 0x1;
  if (buttons.Equals("Retry|Cancel")) return 0x5;
  if (buttons.Equals("Yes|No")) return 0x4;
  if (buttons.Equals("Yes|No|Cancel")) return 0x3;
  return 0;
}

int MessageBoxAnswer(aStrd buttons, int systemAnswer) {
  switch (systemAnswer) {
    case kIdOk:
    case kIdYes:
    case kIdRetry:
      return 1;
    case kIdNo:
      return buttons.Equals("Yes|No") ? 0 : 2;
    default:
      return 0;
  }
}

int StandardMessageBox(aStrd text, aStrd title, aStrd icon, aStrd buttons) {
  aString t(80, 80), c(80, 80);
  t.Assign(text);
  c.Assign(title);
  uint32_t style = MessageBoxIconStyle(icon) | MessageBoxButtonStyle(buttons);
  return MessageBoxAnswer(buttons, SystemMessageBox(t.CStr(), c.CStr(), style));
}
