#pragma once
// Text-keyed entries in a growable array, found through 256 bucket chains of 32-bit indices.

#include <cstdint>
#include <type_traits>

#include "foundation/Array.h"
#include "foundation/Strings.h"

// A key text with its hash and the index of the next entry in its bucket (0 ends the chain).
class aHashString {
 public:
  aStrd text;
  uint32_t hash;
  int32_t next;

  aHashString() : hash(0), next(0) {}
  explicit aHashString(aStrd key) : text(key), hash(Hash(key)), next(0) {}

  // hash = (hash + byte) * 257 for each byte, modulo 2^32; the empty text hashes to 0.
  static uint32_t Hash(aStrd key) {
    uint32_t h = 0;
    for (int32_t i = 0; i < key.length; i++)
      h = (h + static_cast<unsigned char>(key.data[i])) * 257u;
    return h;
  }
  static int Bucket(uint32_t hash) { return (hash >> 4) & 0xFF; }

  // Exact, case-sensitive.
  bool SameKey(aStrd key, uint32_t keyHash) const {
    return hash == keyHash && text.Equals(key);
  }
};

// Entry 0 holds the empty text and ends every chain; entries are never removed, so indices stay
// valid for the life of the table. The newest entry of a bucket is found first.
template <class T>
class tHashTable : public tArray<T> {
 public:
  int32_t buckets[256];

  tHashTable() : tArray<T>(20) {
    static_assert(std::is_base_of<aHashString, T>::value, "entries must derive from aHashString");
    for (int i = 0; i < 256; i++) buckets[i] = 0;
    tArray<T>::Append(T());
  }

  // 0 for the empty text, -1 when absent.
  int32_t Find(aStrd key) const {
    if (key.length <= 0) return 0;
    uint32_t h = aHashString::Hash(key);
    for (int32_t i = buckets[aHashString::Bucket(h)]; i != 0; i = this->data[i].next)
      if (this->data[i].SameKey(key, h)) return i;
    return -1;
  }

  // Appends the entry at the head of its bucket and returns its index (-1 when the table is full).
  int32_t Add(const T& entry) {
    int32_t index = tArray<T>::Append(entry);
    if (index <= 0) return -1;
    T& e = this->data[index];
    e.hash = aHashString::Hash(e.text);
    int b = aHashString::Bucket(e.hash);
    e.next = buckets[b];
    buckets[b] = index;
    return index;
  }

  T& At(int32_t index) { return this->data[index]; }
  const T& At(int32_t index) const { return this->data[index]; }
};
