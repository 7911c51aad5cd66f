#pragma once
// The entry tree: named nodes that join a value with its listeners, the entry references that
// code holds, and the process-wide root that starts and stops change propagation.
// Main thread only.

#include <cstdint>

#include "foundation/Closures.h"
#include "foundation/HashTable.h"
#include "foundation/Values.h"

// Node flag bits.
enum {
  kNodeActive = 0,       // takes part in change marking and propagation
  kNodeChanged = 1,      // value changed since the last propagation
  kNodeFlipped = 2,      // the inherited mark flipped during this propagation
  kNodeVisit = 3,        // a descendant changed: the next propagation visits this node
  kNodeMarks = 4,        // sets the inherited mark for itself and its subtree
  kNodeMark = 5,         // the inherited mark as the last propagation left it
  kNodePerUser = 6,      // registry: value stored per user
  kNodeSecondHive = 7,   // registry: value stored in the second hive
  kNodeRegistryKey = 8,  // registry: the node is a key
};

class aClNode {
 public:
  aHashString key;  // the node keeps its own copy of the key text
  aClNode* parent;
  aClNode* next;
  aClNode* prev;  // the first child's prev is the last child
  aClNode* firstChild;
  aClClosureList listeners;
  aClClosureList deferredListeners;
  aClValue* value;  // owned
  aFlags flags;

  // A node appended as the last child of parent (none for the root node).
  aClNode(aClNode* parent, aStrd key);
  aClNode(const aClNode&) = delete;
  aClNode& operator=(const aClNode&) = delete;
  // Destroys the subtree, then unlinks from the parent.
  ~aClNode();

  aStrd Text() const { return value ? value->Text() : aStrd(); }
};

class aClEntry {
 public:
  aClNode* node;

  aClEntry() : node(nullptr) {}
  explicit aClEntry(aClNode* node_) : node(node_) {}
  // On a child of the root node; the entry takes ownership of value.
  aClEntry(aStrd key, aClValue* value, aFlags flags);
  aClEntry(const aClEntry& parent, aStrd key);
  aClEntry(const aClEntry& parent, aStrd key, aClValue* value, aFlags flags);
  // A string value made here with the given default.
  aClEntry(const aClEntry& parent, aStrd key, aStrd defaultText, aFlags flags);
  // An array value made here with count items.
  aClEntry(const aClEntry& parent, aStrd key, const int* items, int32_t count, aFlags flags);

  aStrd Text() const { return node ? node->Text() : aStrd(); }
};

class aClRoot {
 public:
  aClEntry rootEntry;
  aClEntry scriptEntry;
  aClClosureList startList;
  aClClosureList finishList;
  int32_t suspendCount;
  bool started;

  // The one root, made with its root node and "Script" on first use; it lives to the end.
  static aClRoot& Get();

 private:
  aClRoot();
};

aClNode* RootNode();
aClNode* FindChild(aClNode* parent, aStrd key);
aClNode* FindOrCreateChild(aClNode* parent, aStrd key);  // null parent: the root node
// The new value takes the old one's content, the old one is destroyed; flags are replaced.
void SetValue(aClNode* node, aClValue* value, aFlags flags);
void SetEntryText(aClNode* node, aStrd text);
void MarkChanged(aClNode* node);
void NotifyChanged(aClNode* node);
void CallHook(aClNode* node, aStrd text);
void Propagate(aClNode* node, int mark);
void ClearNode(aClNode* node);
void StartTree();
void FinishTree();
