// The catalogue tool: what the server answers about a folder and about media items, from the
// command line, for operators and integrators.
//
//   mrvcatalogue list FOLDER          the listing text exactly as a client receives it
//   mrvcatalogue duration FILE...     one line per file: seconds, a tab, the file name

#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "catalogue/Catalogue.h"

namespace {

// The fewest decimals that read back as the same double ("10", "10.01", "-1").
void PrintSeconds(double seconds) {
  char text[80];
  for (int decimals = 0; decimals <= 20; decimals++) {
    std::snprintf(text, sizeof text, "%.*f", decimals, seconds);
    if (std::strtod(text, nullptr) == seconds) {
      std::fputs(text, stdout);
      return;
    }
  }
  std::snprintf(text, sizeof text, "%.17g", seconds);
  std::fputs(text, stdout);
}

int Usage() {
  std::fputs("usage: mrvcatalogue list FOLDER\n"
             "       mrvcatalogue duration FILE...\n",
             stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "list") == 0 && argc == 3) {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);  // the CR LF of the text stays as it is
#endif
    aString text;
    FileListText(aStrd(argv[2]), text);
    if (text.length > 0) std::fwrite(text.data, 1, static_cast<size_t>(text.length), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  if (argc >= 3 && std::strcmp(argv[1], "duration") == 0) {
    for (int i = 2; i < argc; i++) {
      PrintSeconds(ItemDuration(aStrd(argv[i])));
      std::printf("\t%s\n", argv[i]);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  return Usage();
}
