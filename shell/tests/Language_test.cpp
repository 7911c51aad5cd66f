#include "shell/Language.h"

#include <gtest/gtest.h>

#include <string>

#include "shell/Messages.h"
#include "shell/tests/TestSupport.h"

namespace {

using mrvtest::ScriptedAnswerer;
using mrvtest::Shown;
using mrvtest::Str;
using mrvtest::TempDir;

// A program "prog.exe" in a scratch folder, with its own table and language object.
struct Program {
  TempDir dir;
  std::string exe = dir.Path() + mrvtest::kSeparator + "prog.exe";
  aPathInfo path{aStrd(exe.c_str())};
  aTransTable table;
  aAppLang lang{&table, &path};
  std::string savedHelpFile = Str(Application().helpFile.View());
  ~Program() { Application().helpFile.Assign(aStrd(savedHelpFile.c_str())); }

  void Lng(const std::string& name, const std::string& bytes) { dir.Write(name + ".lng", bytes); }
  std::string Text(const char* key) {
    int32_t id = table.FindMessage(key);
    return id > 0 ? Str(table.MessageText(id)) : "<absent>";
  }
  std::string Missing(const std::string& name) {
    return "Cannot find translation file\n" + dir.Path() + mrvtest::kSeparator + name + ".lng";
  }
};

TEST(Translation, EntriesCommentsAndLineEnds) {
  struct Case {
    const char* what;
    std::string file;
    const char* key;
    std::string text;
  } cases[] = {
      {"CR LF", "#Title\r\nTranslated\r\n", "Title", "Translated"},
      {"LF", "#Title\nline 1\nline 2\n", "Title", "line 1\r\nline 2"},
      {"CR only", "#Title\rline 1\rline 2", "Title", "line 1\r\nline 2"},
      {"mixed ends", "#Title\r\na\rb\nc", "Title", "a\r\nb\r\nc"},
      {"blanks after the key", "#Title  \t \nx\n", "Title", "x"},
      {"blanks before the key", "# Title\nx\n", " Title", "x"},
      {"blank line inside and at the end", "#T\na\n\nb\n\n#U\n", "T", "a\r\n\r\nb\r\n"},
      {"ends at a comment", "#T\na\n;note\nb\n", "T", "a"},
      {"comment swallows to the next entry", ";c\nx\n;d\n#T\ny\n", "T", "y"},
      {"comment lines are no entries", ";c\n#T\nz\n", "T", "z"},
      {"NUL bytes are text", std::string("#T\na\0b\n", 7), "T", std::string("a\0b", 3)},
      {"text after an ignored line", "junk\n\n#T\nv", "T", "v"},
      {"last non-empty text wins", "#T\nfirst\n#T\nsecond\n#T\n", "T", "second"},
  };
  for (const Case& c : cases) {
    Program p;
    p.table.RegisterMessage("Title", "Default");
    p.lang.LoadTranslationText(aStrd(c.file.data(), static_cast<int32_t>(c.file.size())));
    EXPECT_EQ(c.text, p.Text(c.key)) << c.what;
    EXPECT_EQ(1, p.lang.FileCount()) << c.what;
  }
}

TEST(Translation, KnownKeysGetTranslationsAndUnknownOnesAreRegistered) {
  Program p;
  int32_t known = p.table.RegisterMessage("wrongopen", "Cannot load");
  int32_t title = p.table.RegisterMessage("MIRVANE error");
  p.lang.LoadTranslationText("#wrongopen\nNe mogu zagruzit\n#MIRVANE error\nOshibka\n#\nempty key\n"
                             "#fresh key\nnew\n#empty text\n");
  EXPECT_EQ("Ne mogu zagruzit", Str(p.table.MessageText(known)));
  EXPECT_EQ("Oshibka", Str(p.table.MessageText(title)));
  EXPECT_EQ("new", p.Text("fresh key"));
  int32_t empty = p.table.FindMessage("empty text");
  ASSERT_GT(empty, 0);
  EXPECT_EQ("empty text", Str(p.table.MessageText(empty)));
  EXPECT_TRUE(p.table.At(p.table.FindMessage("fresh key")).defaultText.IsEmpty());
  // An empty text leaves an earlier translation of the same load.
  p.lang.LoadTranslationText("#wrongopen\n");
  EXPECT_EQ("Ne mogu zagruzit", Str(p.table.MessageText(known)));
  // Another language clears it.
  ScriptedAnswerer answerer;
  p.lang.SelectLanguage("-- Default --");
  EXPECT_EQ("Cannot load", Str(p.table.MessageText(known)));
  EXPECT_EQ("fresh key", p.Text("fresh key"));  // the key stays, its text is gone
  EXPECT_EQ(0, p.lang.FileCount());
  EXPECT_TRUE(answerer.shown.empty());
}

TEST(Translation, EmptyInputHasNoLines) {
  Program p;
  p.lang.LoadTranslationText(aStrd());
  EXPECT_EQ(0, p.lang.FileCount());
  p.lang.LoadTranslationText("\n");
  EXPECT_EQ(1, p.lang.FileCount());
  // An empty file beside the program is found: nothing is reported and nothing is kept.
  Program q;
  ScriptedAnswerer answerer;
  q.Lng("empty", "");
  q.lang.LoadTranslationFile("empty");
  EXPECT_EQ(0, q.lang.FileCount());
  EXPECT_TRUE(answerer.shown.empty());
}

TEST(Translation, IncludesLoadInPlaceAndAMissingOneIsReported) {
  Program p;
  ScriptedAnswerer answerer;
  p.Lng("main", "#A\nfrom main\n@part\n#B\nafter include\n@gone\n#C\nstill parsed\n");
  p.Lng("part", "#A\nfrom part\n#B\nfrom part\n#D\nonly in part\n");
  p.lang.LoadTranslationFile("main");
  EXPECT_EQ("from part", p.Text("A"));  // the include came later
  EXPECT_EQ("after include", p.Text("B"));
  EXPECT_EQ("only in part", p.Text("D"));
  EXPECT_EQ("still parsed", p.Text("C"));
  EXPECT_EQ(2, p.lang.FileCount());
  ASSERT_EQ(1u, answerer.shown.size());
  EXPECT_EQ((Shown{p.Missing("gone"), "Error", "!", ""}), answerer.shown[0]);
}

TEST(Translation, AFileThatIncludesItselfIsLoadedTenTimes) {
  Program p;
  ScriptedAnswerer answerer;
  p.Lng("loop", "#K\nv\n@loop\n@loop\n");
  p.lang.LoadTranslationFile("loop");
  EXPECT_EQ(10, p.lang.FileCount());
  EXPECT_EQ("v", p.Text("K"));
  EXPECT_TRUE(answerer.shown.empty());
}

TEST(Translation, IncludeNamesWithNulAreNotCutShort) {
  Program p;
  ScriptedAnswerer answerer;
  p.Lng("real", "#K\nwrong file\n");
  // "@real\0x" must not open "real.lng" through a name cut at the NUL.
  p.lang.LoadTranslationText(aStrd("@real\0x\n", 8));
  EXPECT_EQ("<absent>", p.Text("K"));
  ASSERT_EQ(1u, answerer.shown.size());
  EXPECT_EQ("Error", answerer.shown[0].title);
}

TEST(Translation, MegabyteLinesAndTexts) {
  Program p;
  std::string key(1 << 20, 'k');
  std::string text(1 << 20, 't');
  p.Lng("big", "#" + key + "\n" + text + "\n" + text + "\r#small\ns");
  p.lang.LoadTranslationFile("big");
  EXPECT_EQ(text + "\r\n" + text, p.Text(key.c_str()));
  EXPECT_EQ("s", p.Text("small"));
}

TEST(Translation, SelectLanguageReadsTheFileBesideTheProgramAndPicksTheHelpFile) {
  Program p;
  ScriptedAnswerer answerer;
  int32_t id = p.table.RegisterMessage("Error");
  p.Lng("progGerman", "#Error\nFehler\n");
  p.lang.SelectLanguage("German");
  EXPECT_EQ("Fehler", Str(p.table.MessageText(id)));
  std::string base = p.dir.Path() + mrvtest::kSeparator + "prog";
  EXPECT_EQ(base + ".hlp", Str(Application().helpFile.View()));  // no progGerman.hlp
  p.dir.Write("progGerman.hlp", "help");
  p.lang.SelectLanguage("German");
  EXPECT_EQ(base + "German.hlp", Str(Application().helpFile.View()));
  EXPECT_EQ(1, p.lang.FileCount());

  for (const char* none : {"-- Default --", "", "-x"}) {
    p.lang.SelectLanguage(none);
    EXPECT_EQ("Error", Str(p.table.MessageText(id))) << none;
    EXPECT_EQ(0, p.lang.FileCount()) << none;
    EXPECT_EQ(base + ".hlp", Str(Application().helpFile.View())) << none;
  }
  EXPECT_TRUE(answerer.shown.empty());

  p.lang.SelectLanguage("French");  // missing: reported, defaults stay
  EXPECT_EQ("Error", Str(p.table.MessageText(id)));
  ASSERT_EQ(1u, answerer.shown.size());
  EXPECT_EQ((Shown{p.Missing("progFrench"), "Error", "!", ""}), answerer.shown[0]);
}

TEST(Translation, DefaultLanguageIsRussianOnlyForCountryCodeSevenWithItsFile) {
  TempDir dir;
  std::string base = dir.Path() + mrvtest::kSeparator + "prog";
  EXPECT_EQ("-- Default --", Str(ChooseDefaultLanguage("7", aStrd(base.c_str()))));
  dir.Write("progRussian.lng", "#x\ny\n");
  EXPECT_EQ("Russian", Str(ChooseDefaultLanguage("7", aStrd(base.c_str()))));
  for (const char* other : {"1", "70", "", " 7", "49"})
    EXPECT_EQ("-- Default --", Str(ChooseDefaultLanguage(other, aStrd(base.c_str())))) << other;
}

#ifdef _WIN32
TEST(Translation, TheUserLocaleHasANumericCountryCode) {
  std::string code = Str(UserCountryCode());
  ASSERT_FALSE(code.empty());
  EXPECT_EQ(std::string::npos, code.find_first_not_of("0123456789")) << code;
}
#endif

TEST(Translation, FormKeysTakeTheirTranslation) {
  Program p;
  int32_t id = p.table.RegisterFormText("#Program log-book");
  EXPECT_EQ("Program log-book", Str(p.table.MessageText(id)));
  p.lang.LoadTranslationText("#Program log-book\nZhurnal\n");
  EXPECT_EQ("Zhurnal", Str(p.table.MessageText(id)));
}

}  // namespace
