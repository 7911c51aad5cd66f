#include "foundation/Entries.h"

#include <cstring>

aClNode::aClNode(aClNode* parent_, aStrd key_)
    : parent(parent_), next(nullptr), prev(nullptr), firstChild(nullptr), value(nullptr) {
  // Keys often come from texts that do not last (the ring, a form being built): keep a copy.
  char* copy = key_.NewCString();
  key = aHashString(aStrd(copy, key_.length));
  if (!parent) return;
  aClNode* first = parent->firstChild;
  if (!first) {
    parent->firstChild = this;
    prev = this;
  } else {
    aClNode* last = first->prev;
    last->next = this;
    prev = last;
    first->prev = this;
  }
}

aClNode::~aClNode() {
  while (firstChild) delete firstChild;
  if (parent) {
    if (parent->firstChild == this) {
      parent->firstChild = next;
    } else {
      prev->next = next;
    }
    if (next) {
      next->prev = prev;
    } else if (parent->firstChild) {
      parent->firstChild->prev = prev;
    }
  }
  delete value;
  delete[] key.text.data;
}

aClEntry::aClEntry(aStrd key, aClValue* value, aFlags flags)
    : node(FindOrCreateChild(RootNode(), key)) {
  SetValue(node, value, flags);
}

aClEntry::aClEntry(const aClEntry& parent, aStrd key) : node(FindOrCreateChild(parent.node, key)) {}

aClEntry::aClEntry(const aClEntry& parent, aStrd key, aClValue* value, aFlags flags)
    : node(FindOrCreateChild(parent.node, key)) {
  SetValue(node, value, flags);
}

aClEntry::aClEntry(const aClEntry& parent, aStrd key, aStrd defaultText, aFlags flags)
    : node(FindOrCreateChild(parent.node, key)) {
  SetValue(node, new aClString(defaultText), flags);
}

aClEntry::aClEntry(const aClEntry& parent, aStrd key, const int* items, int32_t count,
                   aFlags flags)
    : node(FindOrCreateChild(parent.node, key)) {
  aClArray* a = new aClArray;
  if (items && count > 0) a->items.Insert(0, items, count);
  SetValue(node, a, flags);
}

aClRoot::aClRoot() : suspendCount(1), started(false) {
  aClNode* root = new aClNode(nullptr, aStrd());
  root->flags.Set(kNodeActive);
  root->flags.Set(kNodeVisit);
  rootEntry.node = root;
}

aClRoot& aClRoot::Get() {
  static aClRoot* root = nullptr;
  if (!root) {
    root = new aClRoot;
    // "Script" is made once the root exists, since making a child looks the root up.
    root->scriptEntry.node = FindOrCreateChild(root->rootEntry.node, "Script");
    SetValue(root->scriptEntry.node, new aClString, aFlags());
  }
  return *root;
}

aClNode* RootNode() { return aClRoot::Get().rootEntry.node; }

aClNode* FindChild(aClNode* parent, aStrd key) {
  if (!parent) return nullptr;
  uint32_t h = aHashString::Hash(key);
  for (aClNode* c = parent->firstChild; c; c = c->next)
    if (c->key.SameKey(key, h)) return c;
  return nullptr;
}

aClNode* FindOrCreateChild(aClNode* parent, aStrd key) {
  if (!parent) parent = RootNode();
  if (aClNode* found = FindChild(parent, key)) return found;
  aClNode* node = new aClNode(parent, key);
  MarkChanged(node);
  return node;
}

void SetValue(aClNode* node, aClValue* value, aFlags flags) {
  if (!node) {
    delete value;
    return;
  }
  aClValue* old = node->value;
  if (old && old != value) {
    if (value) value->Assign(old);
    delete old;
  }
  node->value = value;
  node->flags = flags;
}

void SetEntryText(aClNode* node, aStrd text) {
  if (!node) return;
  if (node->value) node->value->SetText(text);
  MarkChanged(node);
}

void MarkChanged(aClNode* node) {
  if (!node) return;
  node->flags.Set(kNodeChanged);
  if (!node->flags.Test(kNodeActive)) return;
  for (aClNode* a = node->parent; a && !a->flags.Test(kNodeVisit); a = a->parent)
    a->flags.Set(kNodeVisit);
}

void NotifyChanged(aClNode* node) {
  if (!node) return;
  aClRoot& root = aClRoot::Get();
  if (root.suspendCount == 0) root.scriptEntry.node->listeners.Call(node);
  root.suspendCount++;
  node->listeners.Call(node);
  if (node->flags.Test(kNodeActive))
    for (aClNode* a = node->parent; a; a = a->parent) a->listeners.Call(node);
  root.suspendCount--;
  if (root.suspendCount == 0 && node->flags.Test(kNodeActive)) Propagate(root.rootEntry.node, 0);
}

void CallHook(aClNode* node, aStrd text) {
  SetEntryText(node, text);
  NotifyChanged(node);
}

void Propagate(aClNode* node, int mark) {
  if (!node || !node->flags.Test(kNodeActive)) return;
  if (node->flags.Test(kNodeMarks)) mark = 1;
  bool flipped = (mark != 0) != node->flags.Test(kNodeMark);
  if (flipped) node->flags.Set(kNodeFlipped); else node->flags.Clear(kNodeFlipped);
  if (mark) node->flags.Set(kNodeMark); else node->flags.Clear(kNodeMark);
  if (node->flags.Test(kNodeChanged) || node->flags.Test(kNodeFlipped))
    node->deferredListeners.Call(node);
  if (node->flags.Test(kNodeVisit) || node->flags.Test(kNodeFlipped))
    for (aClNode* c = node->firstChild; c; c = c->next) Propagate(c, mark);
  node->flags.Clear(kNodeChanged);
  node->flags.Clear(kNodeFlipped);
  node->flags.Clear(kNodeVisit);
}

void ClearNode(aClNode* node) {
  if (!node) return;
  node->listeners.Clear();
  node->deferredListeners.Clear();
  node->flags = aFlags();
}

void StartTree() {
  aClRoot& root = aClRoot::Get();
  if (root.started) return;
  root.startList.Call(nullptr);
  root.suspendCount = 0;
  Propagate(root.rootEntry.node, 0);
  root.startList.Clear();
  root.started = true;
}

void FinishTree() {
  aClRoot& root = aClRoot::Get();
  if (!root.started) return;
  root.finishList.Call(nullptr);
  root.finishList.Clear();
  root.suspendCount++;
  root.started = false;
}
