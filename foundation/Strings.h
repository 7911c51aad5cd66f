#pragma once
// Text views, text builders, the temporary text ring, the message formatter, number texts and a
// small scanner. Text is a byte string; nothing here knows about multi-byte characters.

#include <cstdint>

#include "foundation/Array.h"

// A view of bytes it does not own: pointer and 32-bit length, passed by value.
class aStrd {
 public:
  const char* data;
  int32_t length;

  aStrd() : data(nullptr), length(0) {}
  aStrd(const char* text);  // NUL-terminated; null gives the empty view
  aStrd(const char* text, int32_t count) : data(text), length(count < 0 ? 0 : count) {}

  bool IsEmpty() const { return length <= 0; }
  bool Equals(aStrd other) const;        // same length, same bytes
  bool EqualsNoCase(aStrd other) const;  // folds only "A"-"Z"
  aStrd TrimRight() const;               // drops trailing bytes 0 to 32
  aStrd Sub(int32_t start, int32_t count) const;
  char* NewCString() const;  // null for empty, else new[] copy with a NUL; the caller deletes[] it
  const char* At(int32_t i) const { return data + i; }
};

// A text builder over a buffer it does not free. A fixed builder (step 0) keeps one byte after its
// capacity for the NUL that CStr writes, so its text is always terminated.
class aStringMaker : public tArrayInfo<char> {
 public:
  // A fixed builder over a caller's buffer of bufferSize bytes (capacity bufferSize - 1). A buffer
  // without a byte for the NUL is not used at all.
  aStringMaker(char* buffer, int32_t bufferSize)
      : tArrayInfo<char>(buffer && bufferSize > 0 ? buffer : nullptr,
                         buffer && bufferSize > 0 ? bufferSize - 1 : 0, 0) {}

  void Append(char c) {
    if (length < capacity) {
      data[length++] = c;
      return;
    }
    int32_t at;
    if (MakeRoom(-1, 1, &at) == 1) data[at] = c;
  }
  void Append(aStrd text) { Insert(-1, text); }
  void Append(const char* text) { Append(aStrd(text)); }
  void Insert(int32_t position, aStrd text);
  void Clear() { length = 0; }
  void Assign(aStrd text) {
    Clear();
    Append(text);
  }
  void Assign(const char* text) { Assign(aStrd(text)); }
  aStrd View() const { return aStrd(data, length); }
  const char* CStr();
  const char* CStrOrNull() { return length == 0 ? nullptr : CStr(); }
  char* At(int32_t i) { return data + i; }

 protected:
  aStringMaker(char* buffer, int32_t capacity_, int32_t step_, bool)
      : tArrayInfo<char>(buffer, capacity_, step_) {}
};

// A builder that owns its heap buffer and grows in whole steps.
class aString : public aStringMaker {
 public:
  aString(int32_t capacity_ = 80, int32_t step_ = 80);
  aString(const aString& other);
  aString& operator=(const aString& other) {
    if (this != &other) Assign(other.View());
    return *this;
  }
  ~aString() { FreeStorage(data); }
};

// aString's buffer pointer carries no reference into the object itself: moving its bytes is safe.
template <>
struct tIsRelocatable<aString> : std::true_type {};

template <int Step>
class tString : public aString {
 public:
  tString() : aString(0, Step) {}
};

// A fixed-capacity builder whose buffer lies in the temporary text ring; the ring keeps a NUL
// right after it.
class aTempString : public aStringMaker {
 public:
  explicit aTempString(int32_t capacity_);
};

// One process-wide area of short-lived texts, handed out downwards from its end and reused when
// it wraps. Main thread only.
class TempRing {
 public:
  static const int32_t kSize = 10000;
  // Hands out room for n bytes (clamped to [0, kSize - 1]) followed by a NUL; n takes the clamp.
  static char* Take(int32_t* n);
  // For tests: the buffer and the current top.
  static const char* Base();
  static int32_t Top();
};

// A copy of the text in the ring, followed by a NUL; cut to 9999 bytes.
aStrd TempCopy(aStrd text);

// The pattern with "%1" to "%9" replaced by the arguments and "%%" by "%"; any other "%" stays.
aStrd FormatText(aStrd pattern, aStrd a1 = aStrd(), aStrd a2 = aStrd(), aStrd a3 = aStrd(),
                 aStrd a4 = aStrd(), aStrd a5 = aStrd(), aStrd a6 = aStrd(), aStrd a7 = aStrd(),
                 aStrd a8 = aStrd(), aStrd a9 = aStrd());

// Number texts in the ring. width 0: shortest form; > 0: right-aligned with blanks to width;
// < 0: zero-padded to |width|, sign in the first place. width is clamped to [-28, 28].
aStrd IntText(int32_t value, int width = 0);
aStrd Int64Text(int64_t value, int width = 0);
aStrd HexText(uint32_t value, int width = 0);

// Reads values out of a text from a position that only moves forward.
class aScanString : public aStrd {
 public:
  int32_t pos;
  int32_t reserved;
  int32_t digit;  // value of the last digit AcceptRange accepted

  explicit aScanString(aStrd text) : aStrd(text), pos(0), reserved(0), digit(0) {}

  char Peek() const { return pos < length ? data[pos] : 0; }
  int32_t Remaining() const { return length - pos; }
  bool AcceptChar(char c);
  bool AcceptRange(signed char lo, signed char hi);
  void SkipSpaces();
  void SkipWord();
  bool AcceptKeyword(aStrd word);
  // "-" then decimal digits; without a digit, def (a minus stays consumed). Values beyond the
  // 32-bit range give the nearest end of it.
  int32_t ReadInt(int32_t def);
  // A text in double quotes ("" inside stands for one quote) as a temporary text, or TempCopy(def)
  // when no quote stands at the position.
  aStrd ReadQuoted(aStrd def);
};
