#include "foundation/Closures.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string calls;

void Record(void* userData, void* argument) {
  calls += static_cast<const char*>(userData);
  if (argument) calls += *static_cast<const char*>(argument);
}
void Other(void* userData, void*) { calls += "o"; }

struct ClosureList : testing::Test {
  void SetUp() override { calls.clear(); }
  aClClosureList list;
};

TEST_F(ClosureList, OrderAndExclusive) {
  char a[] = "a", b[] = "b", c[] = "c", x[] = "x";
  list.AddLast(Record, b);
  list.AddFirst(Record, a);
  list.AddLast(Record, c);
  char arg = '!';
  list.Call(&arg);
  EXPECT_EQ("a!b!c!", calls);
  calls.clear();
  list.AddExclusive(Record, x);
  list.Call(nullptr);
  EXPECT_EQ("x", calls);
  calls.clear();
  aFlags stop(1);
  list.Clear();
  list.AddLast(Record, a);
  list.AddLast(Record, b, stop);  // exclusive in the middle: stops after it
  list.AddLast(Record, c);
  list.Call(nullptr);
  EXPECT_EQ("ab", calls);
  aClClosureList empty;
  empty.Call(nullptr);
}

TEST_F(ClosureList, RemoveEverywhereAndByUserData) {
  char a[] = "a", b[] = "b";
  list.AddLast(Record, a);
  list.AddLast(Other, a);
  list.AddLast(Record, b);
  list.AddLast(Record, a);
  list.Remove(Record, a);  // first and last
  EXPECT_EQ(2, list.Count());
  list.Call(nullptr);
  EXPECT_EQ("ob", calls);
  list.AddFirst(Record, a);
  list.Remove(nullptr, a);  // a null callback removes every closure of the user data
  EXPECT_EQ(1, list.Count());
  list.Remove(Record, nullptr);
  EXPECT_EQ(1, list.Count());

  // A closure added without a callback does nothing when called and matches any callback.
  char c[] = "c";
  list.AddFirst(nullptr, c);
  calls.clear();
  list.Call(nullptr);
  EXPECT_EQ("b", calls);
  list.Remove(Other, c);
  ASSERT_EQ(1, list.Count());
  EXPECT_EQ(b, list.head->userData);
}

aClClosureList* selfList;
void RemovesItself(void* userData, void*) {
  calls += "r";
  selfList->Remove(RemovesItself, userData);
}

TEST_F(ClosureList, ACallbackMayRemoveItself) {
  char a[] = "a", b[] = "b";
  selfList = &list;
  list.AddLast(RemovesItself, a);
  list.AddLast(Record, b);
  list.Call(nullptr);
  EXPECT_EQ("rb", calls);
  EXPECT_EQ(1, list.Count());
}

// A callback that takes other closures out of the list being called, and may reuse them at once.
aClClosureList otherList;
void RemovesTheNext(void* userData, void*) {
  calls += "r";
  selfList->Remove(Record, userData);
  otherList.AddFirst(Other, nullptr);  // the pool's front: the closure just removed
}
void ClearsTheList(void*, void*) {
  calls += "c";
  selfList->Clear();
}

TEST_F(ClosureList, ACallbackMayRemoveTheClosuresAfterIt) {
  char b[] = "b", d[] = "d";
  selfList = &list;
  list.AddLast(RemovesTheNext, b);
  list.AddLast(Record, b);
  list.AddLast(Record, b);
  list.AddLast(Record, d);
  list.Call(nullptr);
  EXPECT_EQ("rd", calls);  // both b closures gone before their turn; d still heard
  EXPECT_EQ(2, list.Count());
  otherList.Clear();

  calls.clear();
  list.Clear();
  list.AddLast(Record, b);
  list.AddLast(ClearsTheList, nullptr);
  list.AddLast(Record, d);
  list.Call(nullptr);
  EXPECT_EQ("bc", calls);
  EXPECT_EQ(0, list.Count());
}

TEST_F(ClosureList, PoolGrowsInBlocksOfFortyAndTakesClosuresBack) {
  int32_t allocated = aClClosurePool::AllocatedCount();
  int32_t freeBefore = aClClosurePool::FreeCount();
  {
    aClClosureList many;
    for (int i = 0; i < freeBefore + 1; i++) many.AddLast(Other, nullptr);
    EXPECT_EQ(allocated + 40, aClClosurePool::AllocatedCount());
    EXPECT_EQ(39, aClClosurePool::FreeCount());
    many.Call(nullptr);
    EXPECT_EQ(static_cast<size_t>(freeBefore + 1), calls.size());
  }
  // A destroyed list gives its closures back; blocks are never returned.
  EXPECT_EQ(freeBefore + 40, aClClosurePool::FreeCount());
  EXPECT_EQ(allocated + 40, aClClosurePool::AllocatedCount());
}

TEST_F(ClosureList, FortyOneClosuresTakeASecondBlock) {
  // From a fresh process the pool is empty; in a shared process, use what is free first.
  int32_t allocated = aClClosurePool::AllocatedCount();
  aClClosureList l;
  int32_t room = aClClosurePool::FreeCount();
  for (int i = 0; i < room; i++) l.AddLast(Other, nullptr);
  EXPECT_EQ(allocated, aClClosurePool::AllocatedCount());
  for (int i = 0; i < 41; i++) l.AddLast(Other, nullptr);
  EXPECT_EQ(allocated + 80, aClClosurePool::AllocatedCount());
}

}  // namespace
