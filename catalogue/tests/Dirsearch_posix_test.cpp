#include "catalogue/Dirsearch.h"

#include <gtest/gtest.h>

namespace {

TEST(DirSearch, WildcardRule) {
  struct Case {
    const char* pattern;
    const char* name;
    bool match;
  };
  Case cases[] = {
      {"*.avi", "a.avi", true},   {"*.avi", "A.AVI", true},    {"*.avi", "a.avi.x", false},
      {"*.avi", ".avi", true},    {"a?c", "abc", true},        {"a?c", "ac", false},
      {"*", "", true},            {"*.*", "noext", true},      {"*a*b", "xxaxxbxb", true},
      {"*a*b", "xxaxxbx", false}, {"[a].avi", "[A].avi", true}, {"**.tml", "x.tml", true},
      {"x.tml", "x.tmlx", false}, {"", "a", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.match, WildcardMatches(aStrd(c.pattern), aStrd(c.name))) << c.pattern << " " << c.name;
}

TEST(DirSearch, NameOrderIgnoresCase) {
  EXPECT_EQ(0, CompareNamesNoCase("Clip.AVI", "clip.avi"));
  EXPECT_LT(CompareNamesNoCase("a.avi", "B.tml"), 0);
  EXPECT_GT(CompareNamesNoCase("ab", "a"), 0);
  EXPECT_LT(CompareNamesNoCase("", "a"), 0);
}

}  // namespace
