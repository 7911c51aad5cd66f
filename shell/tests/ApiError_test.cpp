#include "shell/ApiError.h"

#include <gtest/gtest.h>

#include "shell/tests/TestSupport.h"

namespace {

using mrvtest::ScriptedAnswerer;
using mrvtest::Shown;
using mrvtest::Str;

// A code the system has no text for, on Windows and natively.
const int32_t kNoTextCode = 0x0ABCDEF1;

struct ShowSwitch {
  explicit ShowSwitch(bool on) : saved(ShowApiErrors) { ShowApiErrors = on; }
  ~ShowSwitch() { ShowApiErrors = saved; }
  bool saved;
};

TEST(ApiError, ReportsAreShownFromStartUp) {
  // Every test that switches it puts it back.
  EXPECT_TRUE(ShowApiErrors);
}

TEST(ApiError, CodeTextIsTheNumberAndTheSystemText) {
  EXPECT_EQ("API error 180150001", Str(ApiCodeText(kNoTextCode)));
  // Not found has a system text everywhere; its wording is the system's own.
  std::string found = Str(ApiCodeText(2));
  EXPECT_EQ(0u, found.find("API error 2: ")) << found;
  EXPECT_GT(found.size(), std::string("API error 2: ").size());
  // A failed Play Server call reads as a negative number.
  std::string fail = Str(ApiCodeText(static_cast<int32_t>(0x80004005u)));
  EXPECT_EQ(0u, fail.find("API error -2147467259")) << fail;
  EXPECT_TRUE(fail.size() == 21 || fail.compare(21, 2, ": ") == 0) << fail;
}

TEST(ApiError, ReportComposesContextCodeAndTextAndShowsIt) {
  ShowSwitch on(true);
  ScriptedAnswerer answerer;
  EXPECT_FALSE(ReportApiError(kNoTextCode, "CreateAVTimeline", "Play Server"));
  std::string expected = "CreateAVTimeline\nReturn code:\nAPI error 180150001";
  EXPECT_EQ(expected, Str(ApiErrorText()));
  EXPECT_FALSE(ReportApiError(kNoTextCode, aStrd(), aStrd()));
  EXPECT_EQ("Return code:\nAPI error 180150001", Str(ApiErrorText()));
  ASSERT_EQ(2u, answerer.shown.size());
  EXPECT_EQ((Shown{expected, "Play Server", "!", ""}), answerer.shown[0]);
  EXPECT_EQ((Shown{"Return code:\nAPI error 180150001", "", "!", ""}), answerer.shown[1]);

  // Success reports nothing and leaves the text.
  EXPECT_TRUE(ReportApiError(0, "ignored", "ignored"));
  EXPECT_EQ("Return code:\nAPI error 180150001", Str(ApiErrorText()));
  EXPECT_EQ(2u, answerer.shown.size());
}

TEST(ApiError, SwitchedOffTheTextIsOnlyKept) {
  ShowSwitch off(false);
  ScriptedAnswerer answerer;
  EXPECT_FALSE(ReportApiError(-1, "CueTimeline"));
  EXPECT_EQ(0u, Str(ApiErrorText()).find("CueTimeline\nReturn code:\nAPI error -1"));
  EXPECT_TRUE(answerer.shown.empty());
}

void ReportAgain(void*) { EXPECT_FALSE(ReportApiError(kNoTextCode + 1, "inner")); }

TEST(ApiError, AReportArrivingWhileOneIsShownIsDropped) {
  ShowSwitch on(true);
  ScriptedAnswerer answerer;
  answerer.OnShow(ReportAgain, nullptr);
  EXPECT_FALSE(ReportApiError(kNoTextCode, "outer"));
  answerer.OnShow(nullptr, nullptr);
  EXPECT_EQ(1u, answerer.shown.size());
  EXPECT_EQ("outer\nReturn code:\nAPI error 180150001", Str(ApiErrorText()));
  // The mark is cleared afterwards.
  EXPECT_FALSE(ReportApiError(kNoTextCode, "next"));
  EXPECT_EQ(2u, answerer.shown.size());
}

}  // namespace
