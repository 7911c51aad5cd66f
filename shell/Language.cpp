#include "shell/Language.h"

#include <cstring>

#include "foundation/File.h"
#include "shell/App.h"
#include "shell/Messages.h"

namespace {

// One line of a joined file text, whose lines all end in CR LF and hold no CR or LF.
struct Line {
  int32_t start;
  int32_t end;   // the CR
  int32_t next;  // after the LF
};

bool NextLine(const char* text, int32_t length, int32_t from, Line* line) {
  if (from >= length) return false;
  const void* cr = std::memchr(text + from, '\r', static_cast<size_t>(length - from));
  line->start = from;
  line->end = cr ? static_cast<int32_t>(static_cast<const char*>(cr) - text) : length;
  line->next = line->end + 2 <= length ? line->end + 2 : length;
  return true;
}

char FirstChar(const char* text, const Line& line) {
  return line.end > line.start ? text[line.start] : 0;
}

aStrd RestOfLine(const char* text, const Line& line) {
  return aStrd(text + line.start + 1, line.end - line.start - 1);
}

}  // namespace

aAppLang::aAppLang(aTransTable* table_, const aPathInfo* program_)
    : files(10), table(table_), program(program_) {}

aAppLang::~aAppLang() { FreeTranslations(); }

aTransTable& aAppLang::Table() { return table ? *table : TransTable(); }

const aPathInfo& aAppLang::Program() { return program ? *program : App().pathParts; }

void aAppLang::FreeTranslations() {
  // The translations point into the file texts: clear them before the texts go.
  if (table || TransTableExists()) Table().ClearTranslations();
  for (int32_t i = 0; i < files.Count(); i++) delete[] files[i];
  files.Clear();
}

void aAppLang::LoadTranslationFile(aStrd name) {
  const aPathInfo& p = Program();
  aString path(256, 80);
  path.Append(p.path.Sub(0, p.drive.length + p.directory.length));
  path.Append(name);
  path.Append(".lng");

  aWinFile file;
  char* bytes = nullptr;
  // A text that could not be joined within 32-bit lengths is as unusable as a missing one.
  bool read = file.Open(path.View(), kFileQuiet) && file.size < 0x3FFFFFF0u;
  if (read) {
    int32_t n = static_cast<int32_t>(file.size);
    bytes = new char[n > 0 ? n : 1];
    read = file.Read(bytes, n);
    if (read) {
      file.Close(false);
      LoadTranslationText(aStrd(bytes, n));
    }
    delete[] bytes;
  }
  if (!read) {
    aString text(80, 80);
    text.Append("Cannot find translation file\n");
    text.Append(path.View());
    ShowMessageBox(text.View(), "Error", "!", aStrd());
  }
}

void aAppLang::LoadTranslationText(aStrd bytes) {
  if (bytes.length <= 0 || bytes.length > 0x3FFFFFF0) return;  // no lines
  // Every line ends in CR LF in the copy; a last line without its end gets one.
  char* joined = new char[static_cast<size_t>(bytes.length) * 2 + 3];
  int32_t n = 0;
  for (int32_t i = 0; i < bytes.length; i++) {
    char c = bytes.data[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < bytes.length && bytes.data[i + 1] == '\n') i++;
      joined[n++] = '\r';
      joined[n++] = '\n';
    } else {
      joined[n++] = c;
    }
  }
  char last = bytes.data[bytes.length - 1];
  if (last != '\r' && last != '\n') {
    joined[n++] = '\r';
    joined[n++] = '\n';
  }
  joined[n] = 0;
  if (files.Append(joined) < 0) {
    delete[] joined;
    return;
  }
  Parse(joined, n);
}

void aAppLang::Parse(const char* text, int32_t length) {
  aTransTable& t = Table();
  Line line;
  bool have = NextLine(text, length, 0, &line);
  while (have) {
    char c = FirstChar(text, line);
    if (c == '#') {
      aStrd key = RestOfLine(text, line).TrimRight();
      int32_t textStart = line.next, textEnd = -1;
      // Empty lines belong to the text, also at its end.
      while ((have = NextLine(text, length, line.next, &line))) {
        char d = FirstChar(text, line);
        if (d == '@' || d == '#' || d == ';') break;
        textEnd = line.end;
      }
      aStrd entry = textEnd < 0 ? aStrd() : aStrd(text + textStart, textEnd - textStart);
      if (!key.IsEmpty()) {
        int32_t id = t.FindMessage(key);
        if (id > 0)
          t.SetMessageTexts(id, aStrd(), entry);  // an empty text keeps the translation
        else
          t.RegisterMessage(t.KeepText(key), aStrd(), entry);
      }
    } else if (c == ';') {
      // A comment runs to the next entry or include; lines beginning with ";" do not end it.
      while ((have = NextLine(text, length, line.next, &line))) {
        char d = FirstChar(text, line);
        if (d == '@' || d == '#') break;
      }
    } else {
      if (c == '@' && files.Count() < kMaxFiles) LoadTranslationFile(RestOfLine(text, line));
      have = NextLine(text, length, line.next, &line);
    }
  }
}

void aAppLang::SelectLanguage(aStrd value) {
  FreeTranslations();
  const aPathInfo& p = Program();
  aStrd withoutExtension =
      p.path.Sub(0, p.drive.length + p.directory.length + p.fileName.length);
  aString& helpFile = Application().helpFile;
  if (!value.IsEmpty() && value.data[0] != '-') {
    aString name(80, 80);
    name.Append(p.fileName);
    name.Append(value);
    LoadTranslationFile(name.View());
    helpFile.Assign(withoutExtension);
    helpFile.Append(value);
    helpFile.Append(".hlp");
    if (FileExists(helpFile.View())) return;
  }
  helpFile.Assign(withoutExtension);
  helpFile.Append(".hlp");
}

aStrd ChooseDefaultLanguage(aStrd countryCode, aStrd pathWithoutExtension) {
  if (countryCode.Equals("7")) {
    aString name(80, 80);
    name.Append(pathWithoutExtension);
    name.Append("Russian.lng");
    if (FileExists(name.View())) return "Russian";
  }
  return "-- Default --";
}

aStrd DefaultLanguage(aStrd pathWithoutExtension) {
  return ChooseDefaultLanguage(UserCountryCode(), pathWithoutExtension);
}
