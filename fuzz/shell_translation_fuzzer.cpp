// Arbitrary bytes as a translation file: line ends, entries, comments and includes. Two include
// files exist beside the fuzzed "program" (one includes itself), so the ten-file limit is met.
// Every text is read to its end (the sanitizers watch), keys stay findable, and a new language
// drops every translation and file text.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <stdlib.h>
#include <unistd.h>

#include "foundation/PathInfo.h"
#include "shell/Language.h"
#include "shell/Messages.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

std::string folder;
std::string exe;

void WriteFile(const std::string& name, const char* text) {
  FILE* f = std::fopen((folder + "/" + name).c_str(), "wb");
  if (!f) return;
  std::fputs(text, f);
  std::fclose(f);
}

void RemoveFolder() {
  std::remove((folder + "/a.lng").c_str());
  std::remove((folder + "/b.lng").c_str());
  rmdir(folder.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char pattern[] = "/tmp/mrv-fuzz-XXXXXX";
  if (!mkdtemp(pattern)) std::abort();
  folder = pattern;
  exe = folder + "/prog";
  WriteFile("a.lng", "#Error\r\nfrom a\r\n@a\r\n");
  WriteFile("b.lng", "#wrongopen\nfrom b\n;comment\n#new key\n\n");
  std::atexit(RemoveFolder);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size > 1 << 20) return 0;
  static aPathInfo* program = new aPathInfo(aStrd(exe.c_str()));
  aTransTable table;
  int32_t error = table.RegisterMessage("Error");
  int32_t wrongOpen = table.RegisterMessage("wrongopen", "Cannot load");
  {
    aAppLang lang(&table, program);
    lang.LoadTranslationText(aStrd(reinterpret_cast<const char*>(bytes), static_cast<int32_t>(size)));
    Check(lang.FileCount() <= aAppLang::kMaxFiles);
    Check(size == 0 ? lang.FileCount() == 0 : lang.FileCount() >= 1);
    unsigned sum = 0;
    for (int32_t id = 1; id < table.Count(); id++) {
      const aTransMessageEntry& e = table.At(id);
      Check(table.FindMessage(e.text) == id);
      aStrd t = table.MessageText(id);
      for (int32_t i = 0; i < t.length; i++) sum += static_cast<unsigned char>(t.data[i]);
    }
    (void)sum;
    lang.SelectLanguage("-- Default --");
    Check(lang.FileCount() == 0);
    for (int32_t id = 0; id < table.Count(); id++) Check(table.At(id).translation.IsEmpty());
    Check(table.MessageText(error).Equals("Error"));
    Check(table.MessageText(wrongOpen).Equals("Cannot load"));
  }
  return 0;
}
