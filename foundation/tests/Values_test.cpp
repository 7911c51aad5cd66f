#include "foundation/Values.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

std::string S(aStrd v) { return std::string(v.data ? v.data : "", v.length); }

TEST(Flags, SetTestClearUseTheLowFiveBits) {
  aFlags f;
  f.Set(3);
  f.Set(32 + 6);  // bit 6
  EXPECT_TRUE(f.Test(3));
  EXPECT_TRUE(f.Test(6));
  EXPECT_FALSE(f.Test(4));
  EXPECT_EQ((1u << 3) | (1u << 6), f.bits);
  f.Clear(3);
  EXPECT_EQ(1u << 6, f.bits);
}

TEST(ClInt, TextsAndClamping) {
  struct { const char* text; int32_t before, want; } cases[] = {
      {"25", 3, 10},  {"TRUE", 3, 1}, {"off", 3, 0}, {"False", 3, 0}, {"On", 0, 1},
      {"abc", 4, 4},  {"-3", 4, 0},   {"7x", 0, 7},  {"", 6, 6},     {"-", 6, 6},
      {"99999999999", 0, 10},
  };
  for (auto& c : cases) {
    aClInt v(c.before, 0, 10);
    v.SetText(c.text);
    EXPECT_EQ(c.want, v.value) << c.text;
  }
  aClInt v(50, 0, 10);
  EXPECT_EQ(10, v.value);
  EXPECT_EQ(10, v.defaultValue);
  v.SetInt(3);
  EXPECT_EQ("3", S(v.Text()));
  EXPECT_EQ("10", S(v.DefaultText()));
  v.Reset();
  EXPECT_EQ(10, v.value);
  aClInt full;
  full.SetText("-2147483648");
  EXPECT_EQ(INT32_MIN, full.value);
}

TEST(ClInt, AssignAndCopyFrom) {
  aClInt a(5, 0, 100), b(300, 0, 1000);
  a.Assign(&b);  // from an integer: SetInt, clamped to a's own range
  EXPECT_EQ(100, a.value);
  aClString s("42");
  s.SetText("17");
  a.Assign(&s);  // from another kind: through the text
  EXPECT_EQ(17, a.value);

  aClInt c;
  c.CopyFrom(&b);
  EXPECT_EQ(300, c.value);
  EXPECT_EQ(1000, c.maximum);
  EXPECT_EQ(300, c.defaultValue);
  aClInt d(1, 0, 5);
  d.CopyFrom(&s);  // full range, default from the default text, value from the text
  EXPECT_EQ(INT32_MAX, d.maximum);
  EXPECT_EQ(INT32_MIN, d.minimum);
  EXPECT_EQ(42, d.defaultValue);
  EXPECT_EQ(17, d.value);
}

TEST(ClString, TextsAssignCopy) {
  aClString s("dflt");
  EXPECT_EQ("dflt", S(s.Text()));
  s.SetText("now");
  EXPECT_EQ("now", S(s.Text()));
  s.Reset();
  EXPECT_EQ("dflt", S(s.Text()));
  s.SetText(std::string(45, 'x').c_str());
  EXPECT_EQ(60, s.text.capacity);
  s.Assign(&s);  // its own text, across its own buffer
  EXPECT_EQ(std::string(45, 'x'), S(s.Text()));

  aClInt i(12, 0, 99);
  aClString t;
  t.CopyFrom(&i);
  EXPECT_EQ("12", S(t.Text()));
  EXPECT_EQ("12", S(t.DefaultText()));
  aClValue* e = t.NewEmpty();
  EXPECT_EQ(0, e->Text().length);
  EXPECT_NE(nullptr, dynamic_cast<aClString*>(e));
  delete e;
}

TEST(ClArray, TextAtAndSetText) {
  aClArray a(3, 1, 2);
  EXPECT_EQ(3, a.items.length);
  EXPECT_EQ("3 1 2", S(a.Text()));
  EXPECT_EQ("3 1 2", S(a.DefaultText()));
  EXPECT_EQ(0, a.At(5));
  EXPECT_EQ(0, a.At(-1));

  struct { const char* text; const char* want; } cases[] = {
      {"7 x", "7 1 2"},       {"", "3 1 2"},          {"   ", "3 1 2"},
      {"  9  8 ", "9 8 2"},   {"1 2 3 4 5", "1 2 3 4 5"}, {"5x -4", "5 -4 2"},
      {"1\t2", "1 2 2"},      {"\xE9" "5 6", "5 6 2"},  {"a b c d", "3 1 2 0"},
  };
  for (auto& c : cases) {
    aClArray v(3, 1, 2);
    v.SetText(c.text);
    EXPECT_EQ(c.want, S(v.Text())) << c.text;
  }
  aClArray none(aClArray::kNoValue, 4, aClArray::kNoValue, 5);
  EXPECT_EQ("4 5", S(none.Text()));
  EXPECT_EQ(0, aClArray().Text().length);
}

TEST(ClArray, TenThousandNumbers) {
  std::string text;
  for (int i = 0; i < 10000; i++) text += std::to_string(i * 7 - 3000) + " ";
  aClArray a;
  a.SetText(aStrd(text.c_str(), static_cast<int32_t>(text.size())));
  ASSERT_EQ(10000, a.items.length);
  EXPECT_EQ(-3000, a.At(0));
  EXPECT_EQ(9999 * 7 - 3000, a.At(9999));
  // The text form holds whole items only and stays within the ring's longest text.
  aStrd t = a.Text();
  EXPECT_LE(t.length, 9999);
  EXPECT_EQ(text.substr(0, t.length), S(t));
  EXPECT_EQ(' ', text[t.length]);

  aClArray b(1);
  b.Assign(&a);
  EXPECT_EQ(10000, b.items.length);
  b.Assign(&b);
  EXPECT_EQ(10000, b.items.length);
  aClString s("8 9");
  b.Assign(&s);  // another kind: through the text, the array never shrinks
  EXPECT_EQ(8, b.At(0));
  EXPECT_EQ(10000, b.items.length);
}

}  // namespace
