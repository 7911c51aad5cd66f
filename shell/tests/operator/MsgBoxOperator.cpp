// Answers a message box as an operator would: waits for the window with the given title, reads
// its text and buttons, and presses one of them.
//   MsgBoxOperator TITLE BUTTON [SECONDS]
// BUTTON is ok, cancel, yes, no, retry or close (the window's close box). Prints, one per line,
// "text=" (line breaks written as \n), "buttons=" (the buttons present, comma-separated) and
// "icon=" (present or none). Exit code 0 when the button was
// pressed, 2 when no such window appeared in time, 3 when the box has no such button.
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <string>

namespace {

struct Found {
  std::string text;
  HWND iconWindow = nullptr;
};

BOOL CALLBACK VisitChild(HWND child, LPARAM param) {
  Found *found = reinterpret_cast<Found *>(param);
  char className[64] = "";
  GetClassNameA(child, className, sizeof className);
  if (lstrcmpiA(className, "Static") != 0)
    return TRUE;
  LONG style = GetWindowLongA(child, GWL_STYLE);
  if ((style & SS_TYPEMASK) == SS_ICON) {
    found->iconWindow = child;
    return TRUE;
  }
  int length = GetWindowTextLengthA(child);
  std::string text(length + 1, '\0');
  GetWindowTextA(child, &text[0], length + 1);
  text.resize(strlen(text.c_str()));
  if (text.size() > found->text.size())
    found->text = text;
  return TRUE;
}

// Icon handles of a message box are private copies, so only the presence of an icon is told.
const char *IconName(HWND iconWindow) {
  if (!iconWindow || !SendMessageA(iconWindow, STM_GETICON, 0, 0))
    return "none";
  return "present";
}

std::string Escaped(const std::string &text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else out += c;
  }
  return out;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: MsgBoxOperator TITLE BUTTON [SECONDS]\n");
    return 1;
  }
  const char *title = argv[1];
  const char *press = argv[2];
  int seconds = argc > 3 ? atoi(argv[3]) : 60;

  HWND box = nullptr;
  for (int waited = 0; waited < seconds * 10; ++waited) {
    box = FindWindowA("#32770", title);
    if (box && IsWindowVisible(box))
      break;
    box = nullptr;
    Sleep(100);
  }
  if (!box) {
    printf("no window titled \"%s\"\n", title);
    return 2;
  }

  Found found;
  EnumChildWindows(box, VisitChild, reinterpret_cast<LPARAM>(&found));
  printf("text=%s\n", Escaped(found.text).c_str());

  struct { int id; const char *name; } buttons[] = {
    {IDOK, "ok"}, {IDCANCEL, "cancel"}, {IDYES, "yes"}, {IDNO, "no"}, {IDRETRY, "retry"},
    {IDABORT, "abort"}, {IDIGNORE, "ignore"}};
  std::string present;
  int pressId = 0;
  for (auto &b : buttons) {
    HWND button = GetDlgItem(box, b.id);
    if (!button || !IsWindowVisible(button))
      continue;
    if (!present.empty())
      present += ",";
    present += b.name;
    if (strcmp(press, b.name) == 0)
      pressId = b.id;
  }
  printf("buttons=%s\n", present.c_str());
  printf("icon=%s\n", IconName(found.iconWindow));
  fflush(stdout);

  if (strcmp(press, "close") == 0) {
    PostMessageA(box, WM_CLOSE, 0, 0);
    return 0;
  }
  if (!pressId)
    return 3;
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(pressId, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, pressId)));
  return 0;
}
