// Shows messages through the program's own shell, with the standard message box bound to
// "CallMessWait", and prints each answer. For the test that answers real boxes under a display.
//   MsgBoxShow TEXT TITLE ICON BUTTONS   one message; "\n" in TEXT stands for a line break
//   MsgBoxShow --file NAME               a read-only open of NAME, reported as a file error
#include <stdio.h>
#include <string.h>

#include <string>

#include "foundation/File.h"
#include "shell/App.h"
#include "shell/Messages.h"

static std::string Unescaped(const char* text) {
  std::string out;
  for (const char* p = text; *p; ++p) {
    if (p[0] == '\\' && p[1] == 'n') {
      out += '\n';
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

int main(int argc, char** argv) {
  RegisterUnitMessages();
  App();
  if (argc == 3 && strcmp(argv[1], "--file") == 0) {
    aWinFile file;
    bool opened = file.Open(aStrd(argv[2]), 0);
    printf("opened=%d\n", opened ? 1 : 0);
    return 0;
  }
  if (argc != 5) {
    fprintf(stderr, "usage: MsgBoxShow TEXT TITLE ICON BUTTONS | --file NAME\n");
    return 1;
  }
  std::string text = Unescaped(argv[1]);
  int answer = ShowMessageBox(aStrd(text.c_str()), aStrd(argv[2]), aStrd(argv[3]), aStrd(argv[4]));
  printf("answer=%d\n", answer);
  return 0;
}
