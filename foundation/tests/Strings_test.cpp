#include "foundation/Strings.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string S(aStrd v) { return std::string(v.data ? v.data : "", v.length); }

TEST(Strd, ConstructionAndViews) {
  EXPECT_EQ(0, aStrd(static_cast<const char*>(nullptr)).length);
  EXPECT_EQ(3, aStrd("abc").length);
  EXPECT_TRUE(aStrd().Equals(aStrd("x", 0)));  // null and any pointer with length 0 are alike

  aStrd t("hello");
  struct { int start, count; const char* want; } subs[] = {
      {1, 3, "ell"}, {-5, 2, "he"}, {3, 100, "lo"}, {9, 2, ""}, {2, -1, ""}, {0, 5, "hello"}};
  for (auto& c : subs) EXPECT_EQ(c.want, S(t.Sub(c.start, c.count))) << c.start << "," << c.count;
  EXPECT_EQ(0, aStrd().Sub(3, 4).length);
}

TEST(Strd, EqualsNoCaseFoldsOnlyAsciiLetters) {
  EXPECT_TRUE(aStrd("ABC").EqualsNoCase("abc"));
  EXPECT_FALSE(aStrd("abc").EqualsNoCase("abcd"));
  EXPECT_FALSE(aStrd("[").EqualsNoCase("{"));  // 0x5B vs 0x7B: not letters
  EXPECT_FALSE(aStrd("\xC4").EqualsNoCase("\xE4"));
  EXPECT_TRUE(aStrd().EqualsNoCase(""));
}

TEST(Strd, TrimRightAndNewCString) {
  EXPECT_EQ("ab", S(aStrd("ab \r\n").TrimRight()));
  EXPECT_EQ(0, aStrd("   ").TrimRight().length);
  EXPECT_EQ(nullptr, aStrd("   ").TrimRight().data);
  EXPECT_EQ("a\xA0", S(aStrd("a\xA0").TrimRight()));
  char text[] = {'a', 0, 'b', 1};
  EXPECT_EQ(std::string("a\0b", 3), S(aStrd(text, 4).TrimRight()));

  EXPECT_EQ(nullptr, aStrd().NewCString());
  char* c = aStrd("xyz", 2).NewCString();
  EXPECT_STREQ("xy", c);
  delete[] c;
}

TEST(StringMaker, StringsGrowInWholeSteps) {
  aString a(80, 80);
  EXPECT_EQ(80, a.capacity);
  a.Append(std::string(81, 'x').c_str());
  EXPECT_EQ(160, a.capacity);
  EXPECT_EQ(81, a.length);

  tString<20> t;
  EXPECT_EQ(0, t.capacity);
  EXPECT_EQ(nullptr, t.data);
  for (int i = 0; i < 45; i++) t.Append(static_cast<char>('a' + i % 26));
  EXPECT_EQ(60, t.capacity);
  EXPECT_EQ(45, t.length);
  EXPECT_EQ(45u, std::strlen(t.CStr()));
  EXPECT_EQ(nullptr, tString<20>().CStrOrNull());
}

TEST(StringMaker, AppendInsertAssign) {
  aString a(4, 4);
  a.Append("bd");
  a.Insert(1, "c");
  a.Insert(0, "a");
  a.Insert(99, "e");   // past the end means the end
  a.Append(aStrd("zz", 0));
  EXPECT_EQ("abcde", S(a.View()));
  a.Append(a.View());  // a view of itself, across a growth
  EXPECT_EQ("abcdeabcde", S(a.View()));
  a.Assign("q");
  EXPECT_STREQ("q", a.CStr());
  aString b(a);
  b.Append('r');
  EXPECT_EQ("q", S(a.View()));
  EXPECT_EQ("qr", S(b.View()));
}

TEST(StringMaker, FixedBuildersCutAndStayTerminated) {
  aTempString t(3);
  t.Append("abcdef");
  EXPECT_EQ(3, t.length);
  EXPECT_STREQ("abc", t.CStr());
  t.Append('g');
  EXPECT_EQ("abc", S(t.View()));

  // Over a caller's buffer: the last byte is kept for the NUL, nothing is written past it.
  char buffer[6];
  std::memset(buffer, '#', sizeof buffer);
  char guard = '#';
  aStringMaker m(buffer, 5);
  m.Append("123456789");
  EXPECT_EQ(4, m.length);
  EXPECT_STREQ("1234", m.CStr());
  EXPECT_EQ('#', buffer[5]);
  EXPECT_EQ('#', guard);

  aString fixed(2, 0);
  fixed.Append("xyz");
  EXPECT_STREQ("xy", fixed.CStr());

  // A buffer with no room at all, not even for the NUL: nothing may be written into it.
  char none[1] = {'#'};
  aStringMaker empty(none, 0);
  empty.Append("a");
  EXPECT_STREQ("", empty.CStr());
  EXPECT_EQ(nullptr, empty.CStrOrNull());
  EXPECT_EQ('#', none[0]);
}

TEST(TempRing, CopiesAreTerminatedCutAndWrap) {
  aStrd c = TempCopy("abc");
  EXPECT_EQ("abc", S(c));
  EXPECT_EQ(0, c.data[3]);

  std::string big(12000, 'q');
  big[9998] = 'e';
  aStrd cut = TempCopy(aStrd(big.c_str(), static_cast<int32_t>(big.size())));
  EXPECT_EQ(9999, cut.length);
  EXPECT_EQ('e', cut.data[9998]);
  EXPECT_EQ(0, cut.data[9999]);
  EXPECT_EQ(TempRing::Base(), cut.data);

  // Fill to a known top, then ask for more than remains: it restarts at the end.
  TempCopy(aStrd(big.c_str(), 5000));  // wraps; top = 10000 - 5001
  int32_t top = TempRing::Top();
  EXPECT_EQ(10000 - 5001, top);
  aStrd next = TempCopy(aStrd(big.c_str(), top - 1));  // exactly fits: n + 1 == top
  EXPECT_EQ(TempRing::Base(), next.data);
  aStrd wrapped = TempCopy("xy");
  EXPECT_EQ(TempRing::Base() + 10000 - 3, wrapped.data);
  EXPECT_EQ(0, TempCopy(aStrd()).length);
}

TEST(TempRing, CopyOfAnOldRingTextThatTheNewRoomOverlaps) {
  std::string fill(9999, '.');
  TempCopy(aStrd(fill.c_str()));  // takes the whole ring: top 0
  ASSERT_EQ(0, TempRing::Top());
  std::string text;
  for (int i = 0; i < 100; i++) text += static_cast<char>('A' + i % 26);
  aStrd old = TempCopy(aStrd(text.c_str()));  // at the end, [9899, 9999)
  TempCopy(aStrd(fill.c_str(), 9898));        // top 0 again
  TempCopy(aStrd(fill.c_str(), 48));          // wraps: [9951, 9999) over the old text's tail
  ASSERT_EQ(9951, TempRing::Top());
  std::string before(old.data, old.length);
  // The new room ends inside the old text: its NUL must not land before the copy is made.
  aStrd again = TempCopy(old);
  EXPECT_EQ(before, S(again));
  EXPECT_EQ(0, again.data[again.length]);
}

TEST(FormatText, Placeholders) {
  struct { const char* pattern; const char* want; } cases[] = {
      {"%1%2%1", "aba"},
      {"%0%%", "%0%"},
      {"100%", "100%"},
      {"%x", "%x"},
      {"%", "%"},
      {"%9%3", "<9>"},
      {"", ""},
      {"no args", "no args"},
      {"%%1", "%1"},
  };
  for (auto& c : cases)
    EXPECT_EQ(c.want, S(FormatText(c.pattern, "a", "b", "", "", "", "", "", "", "<9>")))
        << c.pattern;
  EXPECT_EQ("position 10, file size 200",
            S(FormatText("position %1, file size %2", IntText(10), IntText(200))));
  std::string longPattern(20000, '%');
  EXPECT_EQ(9999, FormatText(aStrd(longPattern.c_str())).length);

  // Expansions past the ring's longest text give their first 9999 bytes, whichever piece they
  // end in.
  std::string arg(300, 'a');
  for (int i = 0; i < 300; i += 7) arg[i] = 'b';
  auto times = [](std::string piece, int n) {
    std::string all;
    for (int i = 0; i < n; i++) all += piece;
    return all;
  };
  struct { std::string pattern, want; } longs[] = {
      {times("%1", 50), times(arg, 50)},
      {times("x%1%%", 40), times("x" + arg + "%", 40)},
      {std::string(9998, '.') + "%1", std::string(9998, '.') + arg},
      {"%1" + std::string(9900, '-') + "%x%2", arg + std::string(9900, '-') + "%xsecond"},
  };
  aStrd a(arg.c_str(), static_cast<int32_t>(arg.size()));
  for (auto& c : longs) {
    ASSERT_GT(c.want.size(), 9999u);
    EXPECT_EQ(c.want.substr(0, 9999), S(FormatText(aStrd(c.pattern.c_str()), a, "second")))
        << c.pattern.substr(0, 12);
  }
}

TEST(NumberText, WidthRules) {
  struct { int64_t value; int width; int kind; const char* want; } cases[] = {
      // kind 0 IntText, 1 Int64Text, 2 HexText
      {0, 0, 0, "0"},          {-42, 0, 0, "-42"},       {42, 5, 0, "   42"},
      {-7, 3, 0, " -7"},       {-5, -4, 0, "-005"},      {123456, 3, 0, "123456"},
      {123456, -3, 0, "123456"}, {-123, -2, 0, "-123"},   {0, -3, 0, "000"},
      {7, 40, 0, "                           7"},         // width clamps to 28
      {7, -40, 0, "0000000000000000000000000007"},
      {1073, 0, 2, "431"},     {1073, -8, 2, "00000431"}, {255, -4, 2, "00FF"},
      {0xFFFFFFFF, 0, 2, "FFFFFFFF"}, {0, 0, 2, "0"},
      {INT32_MAX, 0, 0, "2147483647"}, {INT32_MIN, 0, 0, "-2147483648"},
      {INT32_MIN, 14, 0, "   -2147483648"}, {INT32_MIN, -12, 0, "-02147483648"},
      {INT64_MAX, 0, 1, "9223372036854775807"}, {INT64_MIN, 0, 1, "-9223372036854775808"},
      {1000000000, 0, 1, "1000000000"}, {-1000000000000LL, -14, 1, "-1000000000000"},
      {12, -4, 1, "0012"},
  };
  for (auto& c : cases) {
    aStrd t = c.kind == 0   ? IntText(static_cast<int32_t>(c.value), c.width)
              : c.kind == 1 ? Int64Text(c.value, c.width)
                            : HexText(static_cast<uint32_t>(c.value), c.width);
    EXPECT_EQ(c.want, S(t)) << c.value << " w" << c.width << " k" << c.kind;
    EXPECT_EQ(0, t.data[t.length]);
  }
}

TEST(ScanString, CharsRangesWordsKeywords) {
  aScanString s(aStrd("Ab  c\td"));
  EXPECT_FALSE(s.AcceptChar('a'));
  EXPECT_TRUE(s.AcceptRange('A', 'Z'));
  EXPECT_EQ(0, s.digit);
  s.SkipWord();
  EXPECT_EQ('c', s.Peek());
  s.SkipWord();  // a tab ends the word but is not skipped as a space
  EXPECT_EQ('\t', s.Peek());
  EXPECT_EQ(2, s.Remaining());

  aScanString k(aStrd("ON rest"));
  EXPECT_FALSE(k.AcceptKeyword("on rest and more"));
  EXPECT_EQ(0, k.pos);
  EXPECT_TRUE(k.AcceptKeyword("on"));
  EXPECT_EQ(2, k.pos);
  EXPECT_FALSE(k.AcceptKeyword("Rest"));
  k.SkipSpaces();
  EXPECT_TRUE(k.AcceptKeyword("REST"));
  EXPECT_EQ(0, k.Peek());

  // At the end nothing is accepted, not even the 0 that Peek answers.
  aScanString e(aStrd("x", 0));
  EXPECT_FALSE(e.AcceptChar(0));
  EXPECT_FALSE(e.AcceptRange(-128, 127));
  EXPECT_EQ(0, e.pos);
  // Bytes above 127 compare as negative.
  aScanString h(aStrd("\xE9"));
  EXPECT_FALSE(h.AcceptRange('a', 'z'));
  EXPECT_TRUE(h.AcceptRange(-128, -1));
}

TEST(ScanString, ReadInt) {
  struct { const char* text; int32_t def; int32_t want; int32_t pos; } cases[] = {
      {"-x", 5, 5, 1},        {"x", 5, 5, 0},          {"", 9, 9, 0},
      {"123abc", 0, 123, 3},  {"-45 ", 0, -45, 3},     {"007", 1, 7, 3},
      {"2147483647", 0, INT32_MAX, 10}, {"-2147483648", 0, INT32_MIN, 11},
      {"99999999999999", 0, INT32_MAX, 14}, {"-99999999999999", 0, INT32_MIN, 15},
      {"--1", 3, 3, 1},
  };
  for (auto& c : cases) {
    aScanString s{aStrd(c.text)};
    EXPECT_EQ(c.want, s.ReadInt(c.def)) << c.text;
    EXPECT_EQ(c.pos, s.pos) << c.text;
  }
  std::string digits(10000, '9');
  aScanString s{aStrd(digits.c_str())};
  EXPECT_EQ(INT32_MAX, s.ReadInt(0));
  EXPECT_EQ(10000, s.pos);
}

TEST(ScanString, ReadQuoted) {
  struct { const char* text; const char* want; int32_t pos; } cases[] = {
      {"\"a\"\"b\" rest", "a\"b", 6},
      {"\"\"", "", 2},
      {"\"open", "open", 5},
      {"\"ends in pair\"\"", "ends in pair\"", 15},
      {"plain", "dflt", 0},
      {"\"\"\"\"\"\"", "\"\"", 6},
  };
  for (auto& c : cases) {
    aScanString s{aStrd(c.text)};
    aStrd q = s.ReadQuoted("dflt");
    EXPECT_EQ(c.want, S(q)) << c.text;
    EXPECT_EQ(0, q.data[q.length]);
    EXPECT_EQ(c.pos, s.pos) << c.text;
  }
  std::string longText = "\"" + std::string(12000, 'w') + "\"";
  aScanString s{aStrd(longText.c_str())};
  EXPECT_EQ(9999, s.ReadQuoted("").length);
  EXPECT_EQ(12002, s.pos);
}

TEST(ScanString, ReadQuotedFromAnOldRingTextThatItsRoomOverlaps) {
  std::string fill(9999, '.');
  TempCopy(aStrd(fill.c_str()));  // top 0
  std::string inner;
  for (int i = 0; i < 100; i++) inner += static_cast<char>('A' + i % 26);
  std::string quoted = "\"" + inner.substr(0, 50) + "\"\"" + inner.substr(50) + "\"";
  aStrd old = TempCopy(aStrd(quoted.c_str()));  // at the end of the ring
  ASSERT_EQ(TempRing::Base() + 10000 - 1 - old.length, old.data);
  TempCopy(aStrd(fill.c_str(), TempRing::Top() - 1));  // top 0 again
  ASSERT_EQ(0, TempRing::Top());
  // The result's room wraps to the end, a little above the text still being read.
  aScanString scan(old);
  aStrd q = scan.ReadQuoted("");
  EXPECT_EQ(inner.substr(0, 50) + "\"" + inner.substr(50), S(q));
  EXPECT_EQ(0, q.data[q.length]);
  EXPECT_EQ(old.length, scan.pos);
}

}  // namespace
