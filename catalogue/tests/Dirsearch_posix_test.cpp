#include "catalogue/Dirsearch.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

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

// The sort trusts the quick key wherever two keys differ, so there it must agree with the order.
TEST(DirSearch, OrderKeyAgreesWithTheNameOrder) {
  const char alphabet[] = {'a', 'A', 'b', 'Z', '.', '~', '_', '0', '9', '\xE9', '\x7F', '\x01'};
  uint32_t random = 7;
  auto next = [&random] { return (random = random * 1103515245u + 12345u) >> 8; };
  std::string names[2];
  int decided = 0;
  for (int i = 0; i < 200000; i++) {
    for (std::string& n : names) {
      n.assign(next() % 12, 'a');
      for (char& c : n) c = alphabet[next() % sizeof alphabet];
    }
    if (i % 3 == 0) names[1] = names[0].substr(0, next() % (names[0].size() + 1)) + names[1];
    aStrd a(names[0].data(), static_cast<int32_t>(names[0].size()));
    aStrd b(names[1].data(), static_cast<int32_t>(names[1].size()));
    uint64_t ka = NameOrderKey(a), kb = NameOrderKey(b);
    if (ka == kb) continue;
    decided++;
    ASSERT_EQ(ka < kb, CompareNamesNoCase(a, b) < 0) << names[0] << " | " << names[1];
  }
  EXPECT_GT(decided, 100000);
  EXPECT_EQ(NameOrderKey("CLIP1234x"), NameOrderKey("clip1234y"));  // the rest is the order's
}

}  // namespace
