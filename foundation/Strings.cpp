#include "foundation/Strings.h"

#include <cstring>

namespace {

inline char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

}  // namespace

// --- aStrd -----------------------------------------------------------------------------------

aStrd::aStrd(const char* text) : data(text), length(0) {
  if (!text) return;
  size_t n = std::strlen(text);
  length = n > static_cast<size_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(n);
}

bool aStrd::Equals(aStrd other) const {
  if (length != other.length) return false;
  return length <= 0 || std::memcmp(data, other.data, length) == 0;
}

bool aStrd::EqualsNoCase(aStrd other) const {
  if (length != other.length) return false;
  for (int32_t i = 0; i < length; i++)
    if (FoldAscii(data[i]) != FoldAscii(other.data[i])) return false;
  return true;
}

aStrd aStrd::TrimRight() const {
  int32_t n = length;
  while (n > 0 && static_cast<unsigned char>(data[n - 1]) <= 32) n--;
  return n > 0 ? aStrd(data, n) : aStrd();
}

aStrd aStrd::Sub(int32_t start, int32_t count) const {
  int32_t len = length < 0 ? 0 : length;
  if (start < 0) start = 0;
  if (start > len) start = len;
  if (count < 0) count = 0;
  if (count > len - start) count = len - start;
  return aStrd(data ? data + start : nullptr, count);
}

char* aStrd::NewCString() const {
  if (length <= 0) return nullptr;
  char* copy = new char[static_cast<size_t>(length) + 1];
  std::memcpy(copy, data, length);
  copy[length] = 0;
  return copy;
}

// --- builders --------------------------------------------------------------------------------

void aStringMaker::Insert(int32_t position, aStrd text) {
  if (text.length <= 0) return;
  // The text may be a view of this builder's own buffer, which growth would free: copy it out.
  if (data && text.data >= data && text.data < data + capacity) {
    aString copy(text.length, 1);
    copy.Append(text);
    Insert(position, copy.View());
    return;
  }
  int32_t at;
  int32_t n = MakeRoom(position, text.length, &at);
  if (n > 0) std::memcpy(data + at, text.data, n);
}

const char* aStringMaker::CStr() {
  if (!data && step == 0) return "";
  if (length < capacity || step > 0) {
    int32_t keep = length;
    Append('\0');
    length = keep;
  } else {
    data[length] = 0;  // the byte kept after a fixed builder's capacity
  }
  return data;
}

aString::aString(int32_t capacity_, int32_t step_)
    : aStringMaker(nullptr, capacity_, step_, true) {
  // A fixed aString keeps the NUL byte after its capacity like every fixed builder.
  if (step == 0 && capacity == MaxCapacity()) capacity--;
  if (capacity > 0 || step == 0) data = AllocStorage(step == 0 ? capacity + 1 : capacity);
}

aString::aString(const aString& other) : aString(other.capacity, other.step) {
  Append(other.View());
}

aTempString::aTempString(int32_t capacity_) : aStringMaker(nullptr, 0, 0, true) {
  int32_t n = capacity_;
  data = TempRing::Take(&n);
  capacity = n;
}

// --- the temporary text ring -----------------------------------------------------------------

namespace {
char* ringBuffer = nullptr;
int32_t ringTop = 0;
}  // namespace

// The room and the byte after it, without writing the NUL yet: a copy into the ring may read
// from an old ring text that the new room overlaps.
static char* TakeRoom(int32_t* n) {
  if (!ringBuffer) ringBuffer = new char[TempRing::kSize];
  int32_t count = *n;
  if (count < 0) count = 0;
  if (count > TempRing::kSize - 1) count = TempRing::kSize - 1;
  if (count + 1 > ringTop) ringTop = TempRing::kSize;
  ringTop -= 1 + count;
  *n = count;
  return ringBuffer + ringTop;
}

char* TempRing::Take(int32_t* n) {
  char* place = TakeRoom(n);
  place[*n] = 0;
  return place;
}

const char* TempRing::Base() { return ringBuffer; }
int32_t TempRing::Top() { return ringTop; }

aStrd TempCopy(aStrd text) {
  int32_t n = text.length;
  char* place = TakeRoom(&n);
  if (n > 0) std::memmove(place, text.data, n);
  place[n] = 0;
  return aStrd(place, n);
}

// --- formatting ------------------------------------------------------------------------------

aStrd FormatText(aStrd pattern, aStrd a1, aStrd a2, aStrd a3, aStrd a4, aStrd a5, aStrd a6,
                 aStrd a7, aStrd a8, aStrd a9) {
  const aStrd* args[9] = {&a1, &a2, &a3, &a4, &a5, &a6, &a7, &a8, &a9};
  // The result is cut to the ring's longest text: building past it would only cost time and
  // memory (a long argument placed many times would grow the work without bound).
  const int32_t limit = TempRing::kSize - 1;
  aString work(80, 80);
  for (int32_t i = 0; i < pattern.length && work.length < limit; i++) {
    char c = pattern.data[i];
    if (c != '%' || i + 1 >= pattern.length) {
      work.Append(c);
      continue;
    }
    char d = pattern.data[++i];
    if (d == '%') {
      work.Append('%');
    } else if (d >= '1' && d <= '9') {
      work.Append(args[d - '1']->Sub(0, limit - work.length));
    } else {
      work.Append('%');
      work.Append(d);
    }
  }
  return TempCopy(work.View());
}

namespace {

const int kField = 30;

// Lays out a field of kField digit characters (filled from the right, padded with "0") by width.
aStrd LayOut(char* field, bool negative, int width) {
  if (width < -28) width = -28;
  if (width > 28) width = 28;
  int first = 0;
  while (first < kField - 1 && field[first] == '0') first++;
  char out[kField + 2];
  int n = 0;
  if (width < 0) {
    int start = first - (negative ? 1 : 0);
    if (kField + width < start) start = kField + width;
    for (int i = start; i < kField; i++) out[n++] = field[i];
    if (negative) out[0] = '-';
  } else {
    int digits = kField - first + (negative ? 1 : 0);
    for (int i = digits; i < width; i++) out[n++] = ' ';
    if (negative) out[n++] = '-';
    for (int i = first; i < kField; i++) out[n++] = field[i];
  }
  return TempCopy(aStrd(out, n));
}

aStrd DecimalText(uint64_t magnitude, bool negative, int width) {
  char field[kField];
  std::memset(field, '0', kField);
  int i = kField;
  // Groups of nine digits keep the divisions in 32 bits for all but the first step.
  while (magnitude != 0 && i > 0) {
    uint32_t group = static_cast<uint32_t>(magnitude % 1000000000u);
    magnitude /= 1000000000u;
    for (int k = 0; k < 9 && i > 0; k++) {
      field[--i] = static_cast<char>('0' + group % 10);
      group /= 10;
    }
  }
  return LayOut(field, negative, width);
}

}  // namespace

aStrd IntText(int32_t value, int width) {
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(static_cast<int64_t>(value))
                                 : static_cast<uint64_t>(value);
  return DecimalText(magnitude, value < 0, width);
}

aStrd Int64Text(int64_t value, int width) {
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  return DecimalText(magnitude, value < 0, width);
}

aStrd HexText(uint32_t value, int width) {
  static const char kDigits[] = "0123456789ABCDEF";
  char field[kField];
  std::memset(field, '0', kField);
  for (int i = kField - 1; value != 0; i--) {
    field[i] = kDigits[value & 15];
    value >>= 4;
  }
  return LayOut(field, false, width);
}

// --- scanner ---------------------------------------------------------------------------------

bool aScanString::AcceptChar(char c) {
  if (pos >= length || data[pos] != c) return false;
  pos++;
  return true;
}

bool aScanString::AcceptRange(signed char lo, signed char hi) {
  if (pos >= length) return false;
  signed char c = static_cast<signed char>(data[pos]);
  if (c < lo || c > hi) return false;
  digit = c - lo;
  pos++;
  return true;
}

void aScanString::SkipSpaces() {
  while (pos < length && data[pos] == ' ') pos++;
}

void aScanString::SkipWord() {
  while (pos < length && static_cast<signed char>(data[pos]) > 32) pos++;
  SkipSpaces();
}

bool aScanString::AcceptKeyword(aStrd word) {
  if (word.length > Remaining()) return false;
  if (!aStrd(data + pos, word.length).EqualsNoCase(word)) return false;
  pos += word.length;
  return true;
}

int32_t aScanString::ReadInt(int32_t def) {
  bool negative = AcceptChar('-');
  if (!AcceptRange('0', '9')) return def;
  // Accumulate the magnitude with a ceiling just past the 32-bit range, so long digit runs
  // cannot overflow.
  int64_t magnitude = digit;
  while (AcceptRange('0', '9')) {
    magnitude = magnitude * 10 + digit;
    if (magnitude > 2147483648LL) magnitude = 2147483648LL;
  }
  if (negative) return static_cast<int32_t>(-magnitude);
  return magnitude > INT32_MAX ? INT32_MAX : static_cast<int32_t>(magnitude);
}

namespace {

// Copies a quoted stretch (its closing quote excluded) with each doubled quote once, up to room
// bytes.
void Unquote(const char* from, int32_t size, char* out, int32_t room) {
  for (int32_t i = 0, j = 0; i < size && j < room; i++) {
    out[j++] = from[i];
    if (from[i] == '"') i++;  // inside the stretch every quote is the first of a pair
  }
}

}  // namespace

aStrd aScanString::ReadQuoted(aStrd def) {
  if (!AcceptChar('"')) return TempCopy(def);
  int32_t count = 0;
  int32_t end = pos;  // the closing quote, or the end of the text
  for (; end < length; end++) {
    if (data[end] == '"') {
      if (end + 1 < length && data[end + 1] == '"') {
        end++;
      } else {
        break;
      }
    }
    count++;
  }
  const char* from = data + pos;
  int32_t size = end - pos;
  pos = end < length ? end + 1 : length;
  int32_t n = count;
  char* room = TakeRoom(&n);
  // An old ring text may lie under the room it wraps to: then decode from a copy.
  if (room < from + size && from < room + n + 1) {
    aString raw(size, 1);
    raw.Append(aStrd(from, size));
    Unquote(raw.data, size, room, n);
  } else {
    Unquote(from, size, room, n);
  }
  room[n] = 0;
  return aStrd(room, n);
}
