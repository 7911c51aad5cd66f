#include "foundation/Array.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "foundation/HashTable.h"
#include "foundation/Map.h"
#include "foundation/Strings.h"

namespace {

TEST(Array, GrowsInWholeStepsAndKeepsOrder) {
  tArray<int> a(20);
  EXPECT_EQ(nullptr, a.data);
  for (int i = 0; i < 21; i++) EXPECT_EQ(i, a.Append(i));
  EXPECT_EQ(40, a.capacity);
  EXPECT_EQ(21, a.length);
  int three[] = {100, 101, 102};
  EXPECT_EQ(3, a.Insert(1, three, 3));
  EXPECT_EQ(2, a.Insert(-4, three, 2));  // outside [0, length]: the end
  EXPECT_EQ(0, a[0]);
  EXPECT_EQ(100, a[1]);
  EXPECT_EQ(102, a[3]);
  EXPECT_EQ(1, a[4]);
  EXPECT_EQ(20, a[23]);
  EXPECT_EQ(101, a[25]);
  a.Release();
  EXPECT_EQ(nullptr, a.data);
  EXPECT_EQ(0, a.length);
  EXPECT_EQ(0, a.capacity);
}

TEST(Array, InsertOpensTheGapOnGrowthAndInPlace) {
  struct { int step, initial, at, count; } cases[] = {
      {4, 4, 2, 3},  // grows: both halves move around the gap
      {8, 4, 2, 3},  // fits: the tail moves up within the storage
      {4, 4, 0, 9}, {4, 4, 4, 1},
  };
  for (auto& c : cases) {
    tArray<int> a(c.step);
    for (int i = 0; i < c.initial; i++) a.Append(i);
    int add[16];
    for (int i = 0; i < c.count; i++) add[i] = 100 + i;
    ASSERT_EQ(c.count, a.Insert(c.at, add, c.count));
    ASSERT_EQ(c.initial + c.count, a.length);
    EXPECT_EQ(0, a.capacity % c.step);
    for (int i = 0; i < a.length; i++) {
      int want = i < c.at ? i : i < c.at + c.count ? 100 + i - c.at : i - c.count;
      EXPECT_EQ(want, a[i]) << "step " << c.step << " at " << c.at << " index " << i;
    }
  }
}

TEST(Array, AppendingOrInsertingItsOwnElementsSurvivesGrowth) {
  tArray<int> a(1);
  a.Append(7);
  for (int i = 0; i < 10; i++) a.Append(a[a.length - 1]);  // each append moves the storage
  EXPECT_EQ(11, a.length);
  EXPECT_EQ(7, a[10]);
  a[0] = 1;
  a[1] = 2;
  a.Insert(1, a.data, 2);
  EXPECT_EQ(1, a[0]);
  EXPECT_EQ(1, a[1]);
  EXPECT_EQ(2, a[2]);
  EXPECT_EQ(2, a[3]);
}

TEST(Array, FixedStorageDropsWhatDoesNotFit) {
  int storage[4];
  tArrayInfo<int> fixed(storage, 4, 0);
  int at;
  EXPECT_EQ(3, fixed.MakeRoom(0, 3, &at));
  EXPECT_EQ(1, fixed.MakeRoom(0, 5, &at));
  EXPECT_EQ(0, fixed.MakeRoom(0, 1, &at));
  EXPECT_EQ(0, fixed.MakeRoom(0, -2, &at));
  EXPECT_EQ(4, fixed.length);
}

TEST(Array, GrowthNeverWrapsTheSizeArithmetic) {
  // A count near the 32-bit limit must be refused or clamped, never wrap to a small allocation.
  struct Big { char bytes[1 << 20]; };
  tArrayInfo<Big> big(nullptr, 0, 1);
  big.length = big.capacity = tArrayInfo<Big>::MaxCapacity();
  int at;
  EXPECT_EQ(0, big.MakeRoom(-1, 1, &at));
  EXPECT_EQ(tArrayInfo<Big>::MaxCapacity(), big.capacity);
  big.length = big.capacity = 0;

  tArrayInfo<char> bytes(nullptr, 0, 80);
  bytes.length = bytes.capacity = INT32_MAX;
  EXPECT_EQ(0, bytes.MakeRoom(-1, INT32_MAX, &at));
  EXPECT_EQ(INT32_MAX, bytes.length);
  tArrayInfo<char> fixed(nullptr, 5, 0);
  fixed.length = 5;
  EXPECT_EQ(0, fixed.MakeRoom(-1, INT32_MAX, &at));
}

TEST(Array, OwningRelocatableElements) {
  tArray<aString> names(2);
  for (int i = 0; i < 5; i++) {
    aString s(4, 4);
    s.Append("name");
    s.Append(static_cast<char>('0' + i));
    names.Append(s);
  }
  aString first(4, 4);
  first.Append("first");
  names.Insert(0, &first, 1);
  EXPECT_EQ(6, names.length);
  EXPECT_STREQ("first", names[0].CStr());
  EXPECT_STREQ("name4", names[5].CStr());
}

TEST(FindArray, FindsFirstIndex) {
  tFindArray<int> f;
  int v[] = {5, 9, 5};
  f.Insert(0, v, 3);
  EXPECT_EQ(0, f.Find(5));
  EXPECT_EQ(1, f.Find(9));
  EXPECT_EQ(-1, f.Find(4));
}

TEST(HashString, Hash) {
  EXPECT_EQ(0u, aHashString::Hash(aStrd()));
  uint32_t ab = static_cast<uint32_t>(((97u * 257u) + 98u) * 257u);
  EXPECT_EQ(ab, aHashString::Hash("ab"));
  EXPECT_NE(aHashString::Hash("ab"), aHashString::Hash("ba"));
  // Bytes count as unsigned and the product wraps modulo 2^32.
  uint32_t h = 0;
  std::string text = "\xFF\x80zzzzzzzzzzzz";
  for (unsigned char c : text) h = (h + c) * 257u;
  EXPECT_EQ(h, aHashString::Hash(aStrd(text.c_str())));
}

struct Entry : aHashString {
  int payload;
  Entry() : payload(0) {}
  Entry(aStrd key, int p) : aHashString(key), payload(p) {}
};

TEST(HashTable, FindAddNewestFirst) {
  tHashTable<Entry> t;
  EXPECT_EQ(1, t.length);
  EXPECT_EQ(0, t.At(0).text.length);
  EXPECT_EQ(0, t.Find(""));
  EXPECT_EQ(-1, t.Find("missing"));

  EXPECT_EQ(1, t.Add(Entry("alpha", 1)));
  EXPECT_EQ(2, t.Add(Entry("beta", 2)));
  EXPECT_EQ(3, t.Add(Entry("alpha", 3)));
  EXPECT_EQ(3, t.Find("alpha"));
  EXPECT_EQ(2, t.Find("beta"));
  EXPECT_EQ(-1, t.Find("Alpha"));
  EXPECT_EQ(1, t.At(3).next);

  // Many keys in shared buckets, across many growths: every one found at its own index.
  std::string keys[600];
  for (int i = 0; i < 600; i++) {
    keys[i] = "key" + std::to_string(i);
    ASSERT_EQ(4 + i, t.Add(Entry(aStrd(keys[i].c_str()), i)));
  }
  for (int i = 0; i < 600; i++) EXPECT_EQ(4 + i, t.Find(aStrd(keys[i].c_str()))) << keys[i];
  EXPECT_EQ(0, t.capacity % 20);

  // Keys of one hash and bucket, told apart by their length: zero bytes hash to 0 like "".
  aStrd nul1("\0\0", 1), nul2("\0\0", 2);
  ASSERT_EQ(aHashString::Hash(nul1), aHashString::Hash(nul2));
  EXPECT_EQ(-1, t.Find(nul1));
  int32_t one = t.Add(Entry(nul1, 10));
  EXPECT_EQ(-1, t.Find(nul2));
  int32_t two = t.Add(Entry(nul2, 20));
  EXPECT_EQ(one, t.Find(nul1));
  EXPECT_EQ(two, t.Find(nul2));
  EXPECT_EQ(0, t.Find(""));
}

TEST(Map, FirstMatchingCaseWins) {
  using StrMap = tMap<aStrd, int>;
  EXPECT_EQ(2, StrMap("top").Case("Top", 1).Case("top", 2).value);
  auto m = tMap<aStrd, int>("b").Case("a", 1).Case("b", 2).Case("b", 3);
  EXPECT_EQ(2, m.state);
  EXPECT_EQ(2, m.value);
  EXPECT_EQ(0, StrMap("z").Case("a", 1).state);
  auto n = tMap<int, int>(7).Case(1, 10).Case(7, 70).Case(7, 71);
  EXPECT_EQ(70, n.value);
  EXPECT_EQ(2, n.state);
}

}  // namespace
