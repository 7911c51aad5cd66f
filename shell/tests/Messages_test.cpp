#include "shell/Messages.h"

#include <gtest/gtest.h>

#include <string>

#include "shell/tests/TestSupport.h"

namespace {

using mrvtest::Str;

// Two units of another subsystem registering the same title: joined at static construction, in
// the opposite of their order, as a link order might have it.
int32_t secondUnitId, firstUnitId, lateUnitId;
void RegisterSecond() { secondUnitId = RegisterMessage("test shared title"); }
void RegisterFirst() {
  firstUnitId = RegisterMessage("test shared title");
  RegisterMessage("test first unit", "first");
}
aMessageUnit secondUnit("test-second", 2, RegisterSecond);
aMessageUnit firstUnit("test-first", 1, RegisterFirst);

TEST(MessageTable, KeysKeepOneIdAndLaterTextsOverride) {
  aTransTable t;
  int32_t a = t.RegisterMessage("MIRVANE error");
  int32_t b = t.RegisterMessage("errMrvAudioMixer", "Connect to Mirvane Audio Mixer failed");
  EXPECT_EQ(1, a);
  EXPECT_EQ(2, b);
  EXPECT_EQ(a, t.RegisterMessage("MIRVANE error"));
  EXPECT_EQ(3, t.Count());
  EXPECT_EQ("MIRVANE error", Str(t.MessageText(a)));  // a title shows its key

  EXPECT_EQ(b, t.RegisterMessage("errMrvAudioMixer", ""));  // empty texts change nothing
  EXPECT_EQ("Connect to Mirvane Audio Mixer failed", Str(t.MessageText(b)));
  t.RegisterMessage("errMrvAudioMixer", "newer");
  EXPECT_EQ("newer", Str(t.MessageText(b)));
  t.SetMessageTexts(b, aStrd(), "translated");
  EXPECT_EQ("translated", Str(t.MessageText(b)));
  t.ClearTranslations();
  EXPECT_EQ("newer", Str(t.MessageText(b)));

  EXPECT_EQ(0, t.RegisterMessage(""));
  EXPECT_EQ(0, t.FindMessage(""));
  EXPECT_EQ(-1, t.FindMessage("mirvane error"));  // case-sensitive
  EXPECT_EQ(a, t.FindMessage("MIRVANE error"));
}

TEST(MessageTable, IdsOutsideTheTableGiveEmptyTextAndAreIgnored) {
  aTransTable t;
  t.RegisterMessage("Error");
  for (int32_t id : {0, -1, t.Count(), 1000}) {
    EXPECT_TRUE(t.MessageText(id).IsEmpty()) << id;
    t.SetMessageTexts(id, "x", "y");  // ignored
  }
  EXPECT_EQ("Error", Str(t.MessageText(1)));
  EXPECT_TRUE(t.At(0).defaultText.IsEmpty());
  EXPECT_TRUE(t.At(0).translation.IsEmpty());
}

TEST(MessageTable, FormTexts) {
  struct Case {
    const char* form;
    bool registers;
    const char* key;
    const char* text;  // what MessageText shows afterwards
  } cases[] = {
      {"", false, "", ""},
      {"plain caption", false, "", ""},
      {"#", false, "", ""},
      {"#;default", false, "", ""},
      {"#Program log-book", true, "Program log-book", "Program log-book"},
      {"#Folder;", true, "Folder", "Folder"},
      {"#Save;Save the log", true, "Save", "Save the log"},
      {"#Multi;a;b;", true, "Multi", "a;b;"},
  };
  aTransTable t;
  for (const Case& c : cases) {
    // The form's own text goes away after registering: the key must not point into it.
    std::string form = c.form;
    int32_t id = t.RegisterFormText(aStrd(form.c_str()));
    form.assign(form.size(), '?');
    if (!c.registers) {
      EXPECT_EQ(0, id) << c.form;
      continue;
    }
    ASSERT_GT(id, 0) << c.form;
    EXPECT_EQ(id, t.FindMessage(c.key)) << c.form;
    EXPECT_EQ(c.text, Str(t.MessageText(id))) << c.form;
  }
}

TEST(MessageTable, FormTextKeepsARegisteredDefaultAndFillsAnEmptyOne) {
  aTransTable t;
  int32_t withText = t.RegisterMessage("Open", "Open a file");
  int32_t bare = t.RegisterMessage("Close");
  EXPECT_EQ(withText, t.RegisterFormText("#Open;Other text"));
  EXPECT_EQ("Open a file", Str(t.MessageText(withText)));
  EXPECT_EQ(bare, t.RegisterFormText("#Close;Close the window"));
  EXPECT_EQ("Close the window", Str(t.MessageText(bare)));
}

TEST(MessageTable, UnitsRegisterInTheirOrderAndShareKeys) {
  aTransTable& t = TransTable();
  ASSERT_GT(firstUnitId, 0);
  EXPECT_EQ(firstUnitId, secondUnitId);
  EXPECT_EQ(firstUnitId, t.FindMessage("test shared title"));
  // Order 1 ran before order 2 and both before the shell's and the file object's messages.
  EXPECT_LT(t.FindMessage("test first unit"), t.FindMessage("ProgramDescription"));
  EXPECT_LT(t.FindMessage("ProgramDescription"), t.FindMessage("File error"));

  // A unit that joins after start-up registers at once.
  static aMessageUnit late("test-late", 0, [] { lateUnitId = RegisterMessage("test late", "late"); });
  EXPECT_GT(lateUnitId, 0);
  EXPECT_EQ("late", Str(MessageText(lateUnitId)));
}

TEST(MessageTable, StartUpRegistersEveryMessageOfTheShellAndTheFileObject) {
  struct Row {
    const char* key;
    const char* text;  // "" for a title: it shows its key
  } rows[] = {
      {"ProgramInformation", ""},
      {"File error", ""},
      {"Creating file", ""},
      {"ferrNew", "Cannot create file"},
      {"ferrOpenread", "Cannot open file for read"},
      {"ferrOpenwrite", "Cannot open file for read/write"},
      {"ferrDelete", "Cannot delete file"},
      {"AskReplace", "File already exist\n%1\nDo you want to replace it?"},
      {"ferrSeek", "Cannot seek file"},
      {"ferrSeekP", "position %1, file size %2"},
      {"ferrSeteof", "Cannot set file size"},
      {"ferrSeteofP", "old size %1, new size %2"},
      {"ferrRead", "Failed read file"},
      {"ferrReadP", "position %1, file size %2\nread size %3, actual read %4"},
      {"ferrWrite", "Failed write file"},
      {"ferrWriteP", "position %1, file size %2\nwrite size %3, actual write %4"},
      {"ferrRename", "Failed rename file"},
      {"ferrRenameP", "to new name\n%1"},
      {"ferrFormat", "Invalid file format"},
  };
  aTransTable& t = TransTable();
  // Ids follow the rows: the application object's two, then the file object's, without a gap.
  int32_t previous = t.FindMessage("ProgramDescription");
  for (const Row& r : rows) {
    int32_t id = t.FindMessage(r.key);
    ASSERT_GT(id, 0) << r.key;
    EXPECT_EQ(previous + 1, id) << r.key;
    previous = id;
    EXPECT_EQ(r.text, Str(t.At(id).defaultText)) << r.key;
    EXPECT_EQ(*r.text ? r.text : r.key, Str(MessageText(id))) << r.key;
  }
  // The program's description starts as "Test application" and becomes its file name.
  aClApp& app = App();
  int32_t description = t.FindMessage("ProgramDescription");
  ASSERT_GT(description, 0);
  EXPECT_EQ(description, app.descriptionId);
  EXPECT_EQ(Str(app.FileName()), Str(MessageText(description)));
  EXPECT_FALSE(app.FileName().IsEmpty());
}

}  // namespace
