#pragma once
// Notification lists of callbacks with user data. Closures come from one process-wide pool that
// grows in blocks of 40 and never gives memory back. Main thread only.

#include <cstdint>

#include "foundation/Values.h"

typedef void (*aClCallback)(void* userData, void* argument);

class aClClosure {
 public:
  aClCallback callback;
  void* userData;
  aFlags flags;  // bit 0: exclusive, Call stops after this closure
  aClClosure* next;
};

class aClClosureList {
 public:
  aClClosure* head;

  aClClosureList() : head(nullptr) {}
  aClClosureList(const aClClosureList&) = delete;
  aClClosureList& operator=(const aClClosureList&) = delete;
  ~aClClosureList() { Clear(); }

  void AddFirst(aClCallback callback, void* userData, aFlags flags = aFlags());
  void AddLast(aClCallback callback, void* userData, aFlags flags = aFlags());
  void AddExclusive(aClCallback callback, void* userData, aFlags flags = aFlags());
  // Unlinks every closure of this user data whose callback matches; a null callback matches any.
  void Remove(aClCallback callback, void* userData);
  void Clear();
  // Calls the closures in order; stops after an exclusive one. A callback may remove closures of
  // this list, itself included: those not yet called are then not called.
  void Call(void* argument);
  int32_t Count() const;
};

// The pool's figures, for tests and diagnostics.
class aClClosurePool {
 public:
  static const int32_t kBlock = 40;
  static int32_t FreeCount();
  static int32_t AllocatedCount();
};
