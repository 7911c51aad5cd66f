#pragma once
// A small key-to-value selector: tMap<aStrd,int>(key).Case("a", 1).Case("b", 2).value is the
// value of the first candidate equal to key (state 2); without a match state stays 0.

#include <cstdint>

#include "foundation/Strings.h"

inline bool MapKeyEquals(aStrd a, aStrd b) { return a.Equals(b); }
inline bool MapKeyEquals(int a, int b) { return a == b; }

template <class K, class V>
class tMap {
 public:
  K key;
  V value;
  int32_t state;  // 0 searching, 1 matched, 2 value taken

  explicit tMap(K key_) : key(key_), value(), state(0) {}

  tMap& Case(K candidate, V value_) {
    if (state == 0 && MapKeyEquals(candidate, key)) state = 1;
    if (state == 1) {
      state = 2;
      value = value_;
    }
    return *this;
  }
};
