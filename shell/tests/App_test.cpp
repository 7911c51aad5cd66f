#include "shell/App.h"

#include <gtest/gtest.h>

#include <string>

#include "foundation/File.h"
#include "shell/Messages.h"
#include "shell/tests/TestSupport.h"

namespace {

using mrvtest::ScriptedAnswerer;
using mrvtest::Shown;
using mrvtest::Str;

TEST(App, KnowsTheProgramAndNamesItsTitleAndHelpFile) {
  aClApp& app = App();
  std::string exe = Str(ExecutableName());
  ASSERT_FALSE(exe.empty());
  EXPECT_EQ(exe, Str(app.programPath));
  std::string folder = Str(app.Folder());
  ASSERT_FALSE(folder.empty());
  EXPECT_TRUE(folder.back() == '\\' || folder.back() == '/') << folder;
  EXPECT_EQ(folder + Str(app.FileName()), exe);
  EXPECT_EQ(0u, Str(app.FileName()).find(Str(app.BaseName())));
  EXPECT_EQ("shell_tests", Str(app.BaseName()));
  EXPECT_EQ(Str(app.PathWithoutExtension()) + Str(app.pathParts.extension), exe);
  // No version resource: the file name and one blank; the help file beside the program.
  EXPECT_TRUE(app.version.IsEmpty());
  EXPECT_EQ(Str(app.FileName()) + " ", Str(Application().title.View()));
  EXPECT_EQ(Str(app.PathWithoutExtension()) + ".hlp", Str(Application().helpFile.View()));
  EXPECT_NE(nullptr, AppImplement());
}

TEST(App, HooksHangUnderTheApplicationEntry) {
  aClApp& app = App();
  aClNode* application = FindChild(RootNode(), "Application");
  ASSERT_NE(nullptr, application);
  for (const char* hook : {"CallHelp", "CallAbout", "CallExit", "CallMess", "CallMessWait",
                           "CallDMess", "CallDWait", "CallDlog"})
    EXPECT_NE(nullptr, FindChild(application, hook)) << hook;
  aClNode* rootKey = FindChild(application, "RootKey");
  ASSERT_NE(nullptr, rootKey);
  EXPECT_EQ(rootKey, app.rootKey.node);
  EXPECT_TRUE(rootKey->flags.Test(kNodeRegistryKey));
  EXPECT_EQ(app.keyLoad.node, FindChild(rootKey, "KeyLoad"));
  EXPECT_EQ(app.keySave.node, FindChild(rootKey, "KeySave"));
  EXPECT_EQ(app.callMessWait.node, FindChild(application, "CallMessWait"));
}

TEST(App, ProgramPathSplitsIntoItsParts) {
  aClApp& app = App();
  aStrd saved = app.programPath;
  std::string path = "C:\\Program Files\\Mirvane\\mrvairserver.exe";
  app.SetProgramPath(aStrd(path.c_str()));
  path.assign(path.size(), '?');  // a permanent copy, not a view of the caller's text
  EXPECT_EQ("C:\\Program Files\\Mirvane\\", Str(app.Folder()));
  EXPECT_EQ("C:\\Program Files\\Mirvane\\mrvairserver", Str(app.PathWithoutExtension()));
  EXPECT_EQ("mrvairserver", Str(app.BaseName()));
  EXPECT_EQ("mrvairserver.exe", Str(app.FileName()));
  app.SetProgramPath(saved);
}

TEST(App, TheProgramsLanguageTranslatesWhatItsUnitsShow) {
  aClApp& app = App();
  aStrd saved = app.programPath;
  mrvtest::TempDir dir;
  std::string exe = dir.Path() + mrvtest::kSeparator + "prog.exe";
  app.SetProgramPath(aStrd(exe.c_str()));
  dir.Write("progGerman.lng", "#File error\r\nDateifehler\r\n#ferrOpenread\r\n"
                              "Datei kann nicht gelesen werden\r\n");
  ScriptedAnswerer answerer;
  AppImplement()->SelectLanguage("German");
  std::string missing = dir.File("missing.avi");
  {
    aWinFile f;
    EXPECT_FALSE(f.Open(aStrd(missing.c_str()), 0));
  }
  AppImplement()->SelectLanguage("-- Default --");
  {
    aWinFile f;
    EXPECT_FALSE(f.Open(aStrd(missing.c_str()), 0));
  }
  app.SetProgramPath(saved);
  AppImplement()->SelectLanguage("-- Default --");  // the help file back beside the program
  ASSERT_EQ(2u, answerer.shown.size());
  EXPECT_EQ("Dateifehler", answerer.shown[0].title);
  EXPECT_EQ(0u, answerer.shown[0].text.find("Datei kann nicht gelesen werden\n" + missing + "\n"));
  EXPECT_EQ("File error", answerer.shown[1].title);
  EXPECT_EQ(0u, answerer.shown[1].text.find("Cannot open file for read\n" + missing + "\n"));
}

}  // namespace
