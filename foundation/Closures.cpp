#include "foundation/Closures.h"

namespace {

void DoNothing(void*, void*) {}

struct PoolBlock {
  PoolBlock* next;
  aClClosure closures[aClClosurePool::kBlock];
};

PoolBlock* blocks = nullptr;
aClClosure* freeList = nullptr;
int32_t freeCount = 0;
int32_t allocatedCount = 0;

aClClosure* Take(aClCallback callback, void* userData, aFlags flags) {
  if (!freeList) {
    PoolBlock* block = new PoolBlock;
    block->next = blocks;
    blocks = block;
    for (int i = aClClosurePool::kBlock - 1; i >= 0; i--) {
      aClClosure& c = block->closures[i];
      c.callback = DoNothing;
      c.userData = nullptr;
      c.flags = aFlags();
      c.next = freeList;
      freeList = &c;
    }
    freeCount += aClClosurePool::kBlock;
    allocatedCount += aClClosurePool::kBlock;
  }
  aClClosure* c = freeList;
  freeList = c->next;
  freeCount--;
  c->callback = callback ? callback : DoNothing;
  c->userData = userData;
  c->flags = flags;
  c->next = nullptr;
  return c;
}

void Release(aClClosure* c) {
  c->callback = DoNothing;
  c->userData = nullptr;
  c->flags = aFlags();
  c->next = freeList;
  freeList = c;
  freeCount++;
}

// Calls in progress (nested ones too) and the closure each goes on with. A closure taken out of
// its list during a call moves that call on to its successor: the released closure itself
// belongs to the pool at once and may already serve another list.
struct CallCursor {
  aClClosure* next;
  CallCursor* outer;
};
CallCursor* cursors = nullptr;

void Unlink(aClClosure* c) {
  for (CallCursor* k = cursors; k; k = k->outer)
    if (k->next == c) k->next = c->next;
  Release(c);
}

}  // namespace

int32_t aClClosurePool::FreeCount() { return freeCount; }
int32_t aClClosurePool::AllocatedCount() { return allocatedCount; }

void aClClosureList::AddFirst(aClCallback callback, void* userData, aFlags flags) {
  aClClosure* c = Take(callback, userData, flags);
  c->next = head;
  head = c;
}

void aClClosureList::AddLast(aClCallback callback, void* userData, aFlags flags) {
  aClClosure* c = Take(callback, userData, flags);
  aClClosure** at = &head;
  while (*at) at = &(*at)->next;
  *at = c;
}

void aClClosureList::AddExclusive(aClCallback callback, void* userData, aFlags flags) {
  flags.Set(0);
  AddFirst(callback, userData, flags);
}

void aClClosureList::Remove(aClCallback callback, void* userData) {
  aClClosure** at = &head;
  while (*at) {
    aClClosure* c = *at;
    bool match = c->userData == userData &&
                 (!callback || c->callback == callback || c->callback == DoNothing);
    if (match) {
      *at = c->next;
      Unlink(c);
    } else {
      at = &c->next;
    }
  }
}

void aClClosureList::Clear() {
  while (head) {
    aClClosure* c = head;
    head = c->next;
    Unlink(c);
  }
}

void aClClosureList::Call(void* argument) {
  CallCursor cursor = {nullptr, cursors};
  cursors = &cursor;
  for (aClClosure* c = head; c; c = cursor.next) {
    // Read what the closure holds first: the callback may remove it, and the list with it.
    cursor.next = c->next;
    bool exclusive = c->flags.Test(0);
    c->callback(c->userData, argument);
    if (exclusive) break;
  }
  cursors = cursor.outer;
}

int32_t aClClosureList::Count() const {
  int32_t n = 0;
  for (aClClosure* c = head; c; c = c->next) n++;
  return n;
}
