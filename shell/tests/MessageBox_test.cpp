#include "shell/MessageBox.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "shell/App.h"
#include "shell/Messages.h"
#include "shell/tests/TestSupport.h"

namespace {

using mrvtest::ScriptedAnswerer;
using mrvtest::Shown;
using mrvtest::Str;

TEST(MessageBox, IconAndButtonCodesBecomeSystemStyles) {
  struct { const char* code; uint32_t style; } icons[] = {
      {"!", 0x30}, {"?", 0x20}, {"i", 0x40}, {"x", 0x10}, {"", 0}, {"@", 0}, {"!!", 0}, {"X", 0}};
  for (auto& i : icons) EXPECT_EQ(i.style, MessageBoxIconStyle(i.code)) << i.code;
  struct { const char* set; uint32_t style; } buttons[] = {
      {"Ok|Cancel", 0x1}, {"Retry|Cancel", 0x5}, {"Yes|No", 0x4}, {"Yes|No|Cancel", 0x3},
      {"", 0}, {"yes|no", 0}, {"Ok", 0}};
  for (auto& b : buttons) EXPECT_EQ(b.style, MessageBoxButtonStyle(b.set)) << b.set;
}

TEST(MessageBox, SystemAnswersBecomeShellAnswers) {
  enum { kOk = 1, kCancel = 2, kAbort = 3, kRetry = 4, kIgnore = 5, kYes = 6, kNo = 7 };
  struct { const char* set; int system; int answer; } cases[] = {
      {"Yes|No|Cancel", kYes, 1}, {"Yes|No|Cancel", kNo, 2}, {"Yes|No|Cancel", kCancel, 0},
      {"Yes|No", kYes, 1},        {"Yes|No", kNo, 0},        {"Ok|Cancel", kOk, 1},
      {"Ok|Cancel", kCancel, 0},  {"Retry|Cancel", kRetry, 1}, {"", kOk, 1},
      {"", kAbort, 0},            {"", kIgnore, 0},          {"", -1, 0},  // no box could be shown
      {"", 0, 0}};
  for (auto& c : cases)
    EXPECT_EQ(c.answer, MessageBoxAnswer(c.set, c.system)) << c.set << " " << c.system;
}

TEST(MessageBox, ShowMessageBoxHandsParametersToTheHookAndReturnsItsAnswer) {
  ScriptedAnswerer answerer;
  answerer.Queue(2);
  answerer.Queue(1);
  EXPECT_EQ(2, ShowMessageBox("Save changes?\nThe log has changed.", "Log", "?", "Yes|No|Cancel"));
  EXPECT_EQ(1, ShowMessageBox("Done", aStrd(), aStrd(), aStrd()));
  EXPECT_EQ(0, ShowMessageBox("No answer left", "T", "i", "Ok|Cancel"));
  ASSERT_EQ(3u, answerer.shown.size());
  EXPECT_EQ((Shown{"Save changes?\nThe log has changed.", "Log", "?", "Yes|No|Cancel"}),
            answerer.shown[0]);
  EXPECT_EQ((Shown{"Done", "", "", ""}), answerer.shown[1]);
  EXPECT_EQ((Shown{"No answer left", "T", "i", "Ok|Cancel"}), answerer.shown[2]);
}

TEST(MessageBox, WithoutAHandlerTheAnswerIsZero) {
  aClApp& app = App();
  // Take every handler off for a moment, as a program that binds none.
  aClClosureList saved;
  saved.head = app.callMessWait.node->listeners.head;
  app.callMessWait.node->listeners.head = nullptr;
  app.messageResult = 5;
  int answer = ShowMessageBox("text", "title", "!", "Yes|No");
  app.callMessWait.node->listeners.head = saved.head;
  saved.head = nullptr;
  EXPECT_EQ(0, answer);
  EXPECT_EQ("title", Str(app.messageTitle));
}

// A message shown while another is being answered must not take the first one's answer.
void ShowInner(void*) { ShowMessageBox("inner", "Inner", "x", aStrd()); }

TEST(MessageBox, AMessageShownWhileAnsweringKeepsTheOuterAnswer) {
  ScriptedAnswerer answerer;
  answerer.Queue(1);  // outer
  answerer.Queue(0);  // inner
  answerer.OnShow(ShowInner, nullptr);
  int outer = ShowMessageBox("outer", "Outer", "?", "Yes|No");
  answerer.OnShow(nullptr, nullptr);
  EXPECT_EQ(1, outer);
  ASSERT_EQ(2u, answerer.shown.size());
  EXPECT_EQ((Shown{"inner", "Inner", "x", ""}), answerer.shown[1]);
}

TEST(MessageBox, AMessageNobodyAnswersFailsTheTestInsteadOfReachingARealBox) {
  EXPECT_NONFATAL_FAILURE(ShowMessageBox("stray", "Stray", "!", aStrd()),
                          "a message reached the real message box: {text \"stray\", title "
                          "\"Stray\", icon \"!\", buttons \"\"}");
}

TEST(MessageBox, AboutAndDebugHooksShowTheirMessages) {
  ScriptedAnswerer answerer;
  aClApp& app = App();
  CallHook(app.callAbout.node, aStrd());
  CallHook(app.callDWait.node, "state 3");
  ASSERT_EQ(2u, answerer.shown.size());
  std::string about = Str(MessageText(app.descriptionId)) + "\n" + Str(app.version) + " " +
                      Str(app.build) + "\n" + Str(MessageText(app.informationId));
  EXPECT_EQ((Shown{about, "About", "@", ""}), answerer.shown[0]);
  EXPECT_EQ((Shown{"state 3", "Debug", "", ""}), answerer.shown[1]);
}

}  // namespace
