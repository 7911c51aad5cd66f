#pragma once
// Growable storage shared by the text builders and the element arrays: one making-room rule for
// bytes and elements alike.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>

// Elements are moved bytewise when storage grows or a gap opens. A type may take part only when
// that is safe: trivially copyable types are; an owning type whose bytes carry no pointer into
// itself (aString) opts in by specialising this trait. Arrays of opted-in types construct and
// destroy their elements; trivially copyable elements are copied as they are.
template <class T>
struct tIsRelocatable : std::is_trivially_copyable<T> {};

template <class T>
class tArrayInfo {
 public:
  T* data;
  int32_t length;
  int32_t capacity;
  int32_t step;  // 0: fixed capacity, what does not fit is dropped

  tArrayInfo(T* buffer, int32_t capacity_, int32_t step_)
      : data(buffer), length(0), capacity(capacity_ < 0 ? 0 : capacity_),
        step(step_ < 0 ? 0 : step_) {}

  // The largest element count whose byte size still fits both the 32-bit count and size_t.
  static constexpr int32_t MaxCapacity() {
    return SIZE_MAX / sizeof(T) < static_cast<size_t>(INT32_MAX)
               ? static_cast<int32_t>(SIZE_MAX / sizeof(T))
               : INT32_MAX;
  }

  static T* AllocStorage(int32_t count) {
    if (count <= 0) return nullptr;
    return static_cast<T*>(::operator new(static_cast<size_t>(count) * sizeof(T)));
  }
  static void FreeStorage(T* storage) { ::operator delete(storage); }

  // Opens a gap of n elements at position p (p outside [0, length] means the end) and returns the
  // gap's size; *at receives its position. The gap is smaller than n when a fixed buffer is full,
  // or when growing would pass the largest representable size. The caller fills the gap.
  int32_t MakeRoom(int32_t p, int32_t n, int32_t* at) {
    static_assert(tIsRelocatable<T>::value,
                  "array elements are moved bytewise: the type must be trivially relocatable");
    if (p < 0 || p > length) p = length;
    if (at) *at = p;
    if (n <= 0) return 0;
    int64_t needed = static_cast<int64_t>(length) + n;
    if (needed > capacity) {
      if (step > 0) {
        int64_t grow = needed - capacity;
        grow = (grow + step - 1) / step * step;
        int64_t newCapacity = capacity + grow;
        if (newCapacity > MaxCapacity()) newCapacity = MaxCapacity();
        if (needed > newCapacity) n = static_cast<int32_t>(newCapacity - length);
        if (n <= 0) return 0;
        T* fresh = AllocStorage(static_cast<int32_t>(newCapacity));
        if (data) {
          if (p > 0) std::memcpy(static_cast<void*>(fresh), data, sizeof(T) * p);
          if (length > p)
            std::memcpy(static_cast<void*>(fresh + p + n), data + p, sizeof(T) * (length - p));
          FreeStorage(data);
        }
        data = fresh;
        capacity = static_cast<int32_t>(newCapacity);
        length += n;
        return n;
      }
      n = capacity - length;
      if (n <= 0) return 0;
    }
    if (length > p)
      std::memmove(static_cast<void*>(data + p + n), data + p, sizeof(T) * (length - p));
    length += n;
    return n;
  }
};

// An array that owns its storage and its elements.
template <class T>
class tArray : public tArrayInfo<T> {
 public:
  using tArrayInfo<T>::data;
  using tArrayInfo<T>::length;
  using tArrayInfo<T>::capacity;

  explicit tArray(int32_t step = 20) : tArrayInfo<T>(nullptr, 0, step) {}
  tArray(const tArray&) = delete;
  tArray& operator=(const tArray&) = delete;
  ~tArray() { Release(); }

  T& operator[](int32_t i) { return data[i]; }
  const T& operator[](int32_t i) const { return data[i]; }
  int32_t Count() const { return length; }

  // Returns the new element's index, or -1 when it did not fit.
  int32_t Append(const T& element) {
    if (length < capacity) {
      new (static_cast<void*>(data + length)) T(element);
      return length++;
    }
    T copy(element);  // the element may live in the storage that is about to move
    int32_t at;
    if (this->MakeRoom(-1, 1, &at) != 1) return -1;
    new (static_cast<void*>(data + at)) T(static_cast<T&&>(copy));
    return at;
  }

  // Inserts count elements at position (outside [0, length] means the end); returns how many went in.
  int32_t Insert(int32_t position, const T* elements, int32_t count) {
    if (count <= 0 || !elements) return 0;
    if (data && elements + count > data && elements < data + capacity) {
      // Inserting a stretch of this array into itself: copy it out before the storage moves.
      tArray<T> copy(count);
      copy.Insert(0, elements, count);
      return Insert(position, copy.data, count);
    }
    int32_t at;
    int32_t n = this->MakeRoom(position, count, &at);
    for (int32_t i = 0; i < n; i++) new (static_cast<void*>(data + at + i)) T(elements[i]);
    return n;
  }

  // Drops every element; the storage stays.
  void Clear() {
    DestroyElements();
    length = 0;
  }

  // Drops the elements and the storage: null, 0, 0.
  void Release() {
    DestroyElements();
    tArrayInfo<T>::FreeStorage(data);
    data = nullptr;
    length = 0;
    capacity = 0;
  }

 private:
  void DestroyElements() {
    if (!std::is_trivially_destructible<T>::value)
      for (int32_t i = 0; i < length; i++) data[i].~T();
  }
};

// An integer array that can say where a value stands.
template <class T>
class tFindArray;

template <>
class tFindArray<int> : public tArray<int> {
 public:
  explicit tFindArray(int32_t step = 20) : tArray<int>(step) {}
  // Index of the first element equal to value, or -1.
  int32_t Find(int value) const {
    for (int32_t i = 0; i < length; i++)
      if (data[i] == value) return i;
    return -1;
  }
};
