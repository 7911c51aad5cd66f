// Answers a message box as an operator would: waits for the window with the given title, reads
// its text and buttons, and presses one of them.
//   MsgBoxOperator TITLE BUTTON [SECONDS]
// BUTTON is ok, cancel, yes, no, retry or close (the window's close box). Prints, one per line,
// "text=" (line breaks written as \n), "buttons=" (the buttons present, comma-separated) and
// "icon=" (exclamation, question, information, error, present for another icon, or none).
// Exit code 0 when the button was pressed, 2 when no such window appeared in time, 3 when the box has no such button.
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

// The pixels of w x h 32-bit bitmap that draw() paints on a device context.
template <class Draw>
std::string Pixels(int w, int h, Draw draw) {
  std::string pixels;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void *bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && bits) {
    HGDIOBJ old = SelectObject(dc, bitmap);
    draw(dc);
    GdiFlush();
    pixels.assign(static_cast<const char *>(bits), static_cast<size_t>(w) * h * 4);
    SelectObject(dc, old);
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return pixels;
}

// The icon handle of a message box belongs to the other process, so the icon is told by what the
// box shows: the system's exclamation, question, information or error icon drawn on the box's
// own background, "present" for another picture, or "none".
const char *IconName(HWND iconWindow) {
  if (!iconWindow || !SendMessageA(iconWindow, STM_GETICON, 0, 0))
    return "none";
  RECT r;
  GetClientRect(iconWindow, &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0)
    return "present";
  struct { LPCSTR id; const char *name; } system[] = {
    {IDI_EXCLAMATION, "exclamation"}, {IDI_QUESTION, "question"},
    {IDI_ASTERISK, "information"}, {IDI_HAND, "error"}};
  // What the screen shows: read again until it is one of the system's icons, so a box that is
  // still painting on a loaded machine is not taken for another picture.
  POINT origin = {0, 0};
  ClientToScreen(iconWindow, &origin);
  for (int attempt = 0; attempt < 100; ++attempt) {
    Sleep(100);
    COLORREF background = 0;
    std::string seen = Pixels(w, h, [&](HDC dc) {
      HDC screen = GetDC(nullptr);
      BitBlt(dc, 0, 0, w, h, screen, origin.x, origin.y, SRCCOPY);
      ReleaseDC(nullptr, screen);
      background = GetPixel(dc, 0, 0);
    });
    if (seen.empty())
      continue;
    for (auto &s : system) {
      HICON icon = LoadIconA(nullptr, s.id);
      std::string drawn = Pixels(w, h, [&](HDC dc) {
        HBRUSH brush = CreateSolidBrush(background);
        RECT all = {0, 0, w, h};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
      });
      if (drawn == seen)
        return s.name;
    }
  }
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
