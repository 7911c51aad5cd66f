#include "foundation/Entries.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string S(aStrd v) { return std::string(v.data ? v.data : "", v.length); }

std::vector<std::string> heard;
void Hear(void* userData, void* argument) {
  heard.push_back(std::string(static_cast<const char*>(userData)) + ":" +
                  S(static_cast<aClNode*>(argument)->key.text));
}

// Every test works in its own subtree under the root and leaves the tree suspended.
struct EntryTree : testing::Test {
  void SetUp() override {
    FinishTree();
    heard.clear();
    base = FindOrCreateChild(nullptr, "test-base");
    base->flags.Set(kNodeActive);
  }
  void TearDown() override {
    FinishTree();
    delete base;
    aClRoot::Get().scriptEntry.node->listeners.Clear();
  }
  std::vector<std::string> ChildKeys(aClNode* parent) {
    std::vector<std::string> keys;
    for (aClNode* c = parent->firstChild; c; c = c->next) keys.push_back(S(c->key.text));
    return keys;
  }
  // Walks the links both ways: next from the first, and prev round from the first to the last.
  void ExpectLinked(aClNode* parent, std::vector<std::string> want) {
    EXPECT_EQ(want, ChildKeys(parent));
    if (want.empty()) {
      EXPECT_EQ(nullptr, parent->firstChild);
      return;
    }
    aClNode* first = parent->firstChild;
    std::vector<std::string> back;
    aClNode* c = first->prev;  // the last child
    EXPECT_EQ(nullptr, c->next);
    for (size_t i = 0; i < want.size(); i++, c = c->prev) back.insert(back.begin(), S(c->key.text));
    EXPECT_EQ(want, back);
  }
  aClNode* base;
};

TEST_F(EntryTree, RootAndScript) {
  aClRoot& r = aClRoot::Get();
  EXPECT_EQ(0, r.rootEntry.node->key.text.length);
  EXPECT_EQ(nullptr, r.rootEntry.node->value);
  EXPECT_TRUE(r.rootEntry.node->flags.Test(kNodeActive));
  EXPECT_EQ(r.scriptEntry.node, FindChild(RootNode(), "Script"));
  EXPECT_NE(nullptr, dynamic_cast<aClString*>(r.scriptEntry.node->value));
  EXPECT_EQ(0u, r.scriptEntry.node->flags.bits);
  EXPECT_FALSE(r.started);
  EXPECT_EQ(1, r.suspendCount);
}

TEST_F(EntryTree, ChildrenInCreationOrderFoundExactly) {
  aClNode* a = FindOrCreateChild(base, "a");
  aClNode* b = FindOrCreateChild(base, "b");
  aClNode* c = FindOrCreateChild(base, "c");
  EXPECT_EQ(b, FindChild(base, "b"));
  EXPECT_EQ(nullptr, FindChild(base, "B"));
  EXPECT_EQ(a, FindOrCreateChild(base, "a"));
  EXPECT_EQ(c, FindChild(base, "c"));
  ExpectLinked(base, {"a", "b", "c"});
  EXPECT_TRUE(c->flags.Test(kNodeChanged));
  EXPECT_EQ(base, c->parent);
}

TEST_F(EntryTree, KeysAreKeptByTheNode) {
  std::string key = "transient";
  aClNode* n = FindOrCreateChild(base, aStrd(key.c_str()));
  key.assign("overwritten");
  EXPECT_EQ(n, FindChild(base, "transient"));
}

TEST_F(EntryTree, DestroyingUnlinksFromEveryPosition) {
  struct { int remove; std::vector<std::string> left; } cases[] = {
      {0, {"b", "c", "d"}}, {1, {"a", "c", "d"}}, {3, {"a", "b", "c"}}, {2, {"a", "b", "d"}}};
  for (auto& c : cases) {
    aClNode* p = FindOrCreateChild(base, "p");
    aClNode* kids[4];
    const char* names[] = {"a", "b", "c", "d"};
    for (int i = 0; i < 4; i++) kids[i] = FindOrCreateChild(p, names[i]);
    FindOrCreateChild(kids[c.remove], "grandchild");
    delete kids[c.remove];
    ExpectLinked(p, c.left);
    aClNode* added = FindOrCreateChild(p, "e");  // appending still finds the true last child
    std::vector<std::string> more = c.left;
    more.push_back("e");
    ExpectLinked(p, more);
    (void)added;
    delete p;
  }
  aClNode* only = FindOrCreateChild(base, "only");
  aClNode* child = FindOrCreateChild(only, "x");
  delete child;
  ExpectLinked(only, {});
  ExpectLinked(base, {"only"});
}

TEST_F(EntryTree, SetValueKeepsTheOldContent) {
  aClEntry e(aClEntry(base), "Scale", new aClInt(100, 80, 200), aFlags(0x41));
  SetEntryText(e.node, "150");
  EXPECT_EQ("150", S(e.Text()));
  aClEntry again(aClEntry(base), "Scale", new aClInt(100, 80, 120), aFlags(0x141));
  EXPECT_EQ(e.node, again.node);
  EXPECT_EQ("120", S(again.Text()));  // the old value, through the new one's range
  EXPECT_EQ(0x141u, again.node->flags.bits);
  SetValue(e.node, e.node->value, aFlags(1));  // the same object again
  EXPECT_EQ("120", S(e.Text()));

  aClEntry s(aClEntry(base), "Font", "-- Default --", aFlags(0x41));
  EXPECT_EQ("-- Default --", S(s.Text()));
  int cats[] = {1, 1, 0};
  aClEntry arr(aClEntry(base), "Categories", cats, 3, aFlags(0x41));
  EXPECT_EQ("1 1 0", S(arr.Text()));
}

TEST_F(EntryTree, ChangesBeforeStartReachListenersButNotScriptNorPropagation) {
  aClNode* mid = FindOrCreateChild(base, "mid");
  mid->flags.Set(kNodeActive);
  aClEntry leaf(aClEntry(mid), "leaf", "x", aFlags(1));
  char own[] = "own", up[] = "mid", top[] = "base", script[] = "script", later[] = "deferred";
  leaf.node->listeners.AddLast(Hear, own);
  mid->listeners.AddLast(Hear, up);
  base->listeners.AddLast(Hear, top);
  aClRoot::Get().scriptEntry.node->listeners.AddLast(Hear, script);
  leaf.node->deferredListeners.AddLast(Hear, later);

  CallHook(leaf.node, "y");
  EXPECT_EQ((std::vector<std::string>{"own:leaf", "mid:leaf", "base:leaf"}), heard);
  EXPECT_EQ("y", S(leaf.Text()));
  EXPECT_TRUE(leaf.node->flags.Test(kNodeChanged));
  EXPECT_TRUE(mid->flags.Test(kNodeVisit));

  heard.clear();
  StartTree();  // one propagation from the root reaches the changed leaf
  EXPECT_EQ((std::vector<std::string>{"deferred:leaf"}), heard);
  EXPECT_FALSE(leaf.node->flags.Test(kNodeChanged));

  heard.clear();
  CallHook(leaf.node, "z");  // started: Script first, then the listeners, then propagation
  EXPECT_EQ((std::vector<std::string>{"script:leaf", "own:leaf", "mid:leaf", "base:leaf",
                                      "deferred:leaf"}),
            heard);

  heard.clear();
  aClEntry quiet(aClEntry(mid), "quiet", "q", aFlags(0));  // inactive: only its own listeners
  quiet.node->listeners.AddLast(Hear, own);
  CallHook(quiet.node, "r");
  EXPECT_EQ((std::vector<std::string>{"script:quiet", "own:quiet"}), heard);
}

TEST_F(EntryTree, InheritedMarkReachesTheSubtreeOnce) {
  StartTree();
  aClNode* marker = FindOrCreateChild(base, "marker");
  aClNode* a = FindOrCreateChild(marker, "a");
  aClNode* b = FindOrCreateChild(a, "b");
  aClNode* off = FindOrCreateChild(marker, "off");  // inactive: not visited
  char d[] = "d";
  for (aClNode* n : {marker, a, b, off}) {
    n->deferredListeners.AddLast(Hear, d);
    if (n != off) n->flags.Set(kNodeActive);
  }
  Propagate(RootNode(), 0);  // settle the nodes' creation marks
  heard.clear();
  marker->flags.Set(kNodeMarks);
  MarkChanged(marker);
  Propagate(RootNode(), 0);
  EXPECT_EQ((std::vector<std::string>{"d:marker", "d:a", "d:b"}), heard);
  EXPECT_TRUE(b->flags.Test(kNodeMark));
  heard.clear();
  Propagate(RootNode(), 0);
  EXPECT_TRUE(heard.empty());
  SetEntryText(a, "");
  Propagate(RootNode(), 0);
  EXPECT_EQ((std::vector<std::string>{"d:a"}), heard);
}

TEST_F(EntryTree, StartAndFinishLists) {
  aClRoot& r = aClRoot::Get();
  char s[] = "s", f[] = "f";
  static int starts, finishes;
  starts = finishes = 0;
  r.startList.AddLast([](void*, void* arg) { starts += arg == nullptr; }, nullptr);
  r.finishList.AddLast([](void*, void* arg) { finishes += arg == nullptr; }, nullptr);
  StartTree();
  StartTree();
  EXPECT_EQ(1, starts);
  EXPECT_TRUE(r.started);
  EXPECT_EQ(0, r.suspendCount);
  EXPECT_EQ(nullptr, r.startList.head);
  FinishTree();
  FinishTree();
  EXPECT_EQ(1, finishes);
  EXPECT_FALSE(r.started);
  EXPECT_EQ(1, r.suspendCount);
  EXPECT_EQ(nullptr, r.finishList.head);

  aClNode* n = FindOrCreateChild(base, "cleared");
  n->listeners.AddLast(Hear, s);
  n->deferredListeners.AddLast(Hear, f);
  n->flags = aFlags(0x1FF);
  ClearNode(n);
  EXPECT_EQ(nullptr, n->listeners.head);
  EXPECT_EQ(nullptr, n->deferredListeners.head);
  EXPECT_EQ(0u, n->flags.bits);
}

}  // namespace
