// Arbitrary bytes through the message formatter, the scanner, the number texts, the builders,
// path splitting and the array value's text form. Checks the invariants a caller relies on.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "foundation/PathInfo.h"
#include "foundation/Strings.h"
#include "foundation/Values.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// A temporary text must be terminated, within the ring's longest text, and inside the ring.
void CheckTemp(aStrd t) {
  Check(t.length >= 0 && t.length <= TempRing::kSize - 1);
  Check(t.data != nullptr && t.data[t.length] == 0);
  Check(t.data >= TempRing::Base() && t.data + t.length < TempRing::Base() + TempRing::kSize);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size > 1 << 20) return 0;
  const char* text = reinterpret_cast<const char*>(bytes);
  aStrd all(text, static_cast<int32_t>(size));

  // The formatter against a plain reference: the input is the pattern, its pieces the arguments.
  int32_t third = all.length / 3;
  aStrd args[9] = {all.Sub(0, third), all.Sub(third, third), "", all, aStrd(), "x",
                   all.Sub(2 * third, all.length), IntText(all.length), HexText(third, -8)};
  std::string want;  // only its first 9999 bytes count: the result is cut there
  for (int32_t i = 0; i < all.length && want.size() < 9999; i++) {
    char c = text[i];
    if (c != '%' || i + 1 == all.length) {
      want += c;
      continue;
    }
    char d = text[++i];
    if (d == '%') want += '%';
    else if (d >= '1' && d <= '9') want.append(args[d - '1'].data ? args[d - '1'].data : "",
                                                args[d - '1'].length);
    else (want += '%') += d;
  }
  if (want.size() > 9999) want.resize(9999);
  aStrd f = FormatText(all, args[0], args[1], args[2], args[3], args[4], args[5], args[6],
                       args[7], args[8]);
  CheckTemp(f);
  Check(want.size() == static_cast<size_t>(f.length) &&
        std::memcmp(want.data(), f.data, want.size()) == 0);

  // The scanner, driven by the input itself: each step's choice comes from the byte at hand.
  aScanString s(all);
  for (int steps = 0; s.Remaining() > 0 && steps < 100000; steps++) {
    int32_t before = s.pos;
    switch (static_cast<unsigned char>(s.Peek()) % 7) {
      case 0: {
        aStrd q = s.ReadQuoted(all.Sub(0, 40));
        CheckTemp(q);
        break;
      }
      case 1: s.ReadInt(-1); break;
      case 2: s.AcceptKeyword(all.Sub(s.pos + 1, s.Peek() & 15)); break;
      case 3: s.AcceptKeyword("tRuE"); break;
      case 4: s.SkipWord(); break;
      case 5: s.AcceptRange('0', '9'); break;
      default: s.SkipSpaces(); break;
    }
    Check(s.pos >= before && s.pos <= s.length);
    if (s.pos == before) s.pos++;  // keep the walk moving over bytes no step takes
  }
  aScanString quoted(all);
  if (quoted.Peek() != '"') quoted.pos = quoted.length;
  CheckTemp(quoted.ReadQuoted("none"));
  Check(quoted.pos <= quoted.length);

  // The same quoted text read again from an old ring copy that the result's room wraps over.
  if (all.length > 0 && all.data[0] == '"' && all.length < TempRing::kSize - 1) {
    aScanString plain(all);
    aStrd q = plain.ReadQuoted("");
    std::string first(q.data, q.length);
    static const std::string fill(TempRing::kSize - 1, '.');
    aStrd filler(fill.data(), static_cast<int32_t>(fill.size()));
    TempCopy(filler);                                // top 0
    aStrd old = TempCopy(all);                       // at the end of the ring
    TempCopy(filler.Sub(0, TempRing::Top() - 1));    // top 0 again
    aScanString again(old);
    aStrd q2 = again.ReadQuoted("");
    CheckTemp(q2);
    Check(again.pos == plain.pos && first == std::string(q2.data, q2.length));
  }

  // Number texts with every width, from the input's leading bytes.
  if (size >= 9) {
    int64_t v;
    std::memcpy(&v, bytes, 8);
    int width = static_cast<int8_t>(bytes[8]);
    CheckTemp(IntText(static_cast<int32_t>(v), width));
    CheckTemp(Int64Text(v, width));
    CheckTemp(HexText(static_cast<uint32_t>(v >> 32), width));
  }

  // Fixed and growing builders given the input in pieces.
  aTempString small(size ? bytes[0] % 50 : 3);
  aString grown(0, 7);
  for (int32_t i = 0; i < all.length; i += 13) {
    small.Append(all.Sub(i, 13));
    grown.Insert(bytes[i] % (grown.length + 2) - 1, all.Sub(i, 13));
  }
  Check(small.length <= small.capacity && small.CStr()[small.length] == 0);
  Check(grown.length == all.length && grown.CStr()[grown.length] == 0);
  Check(all.TrimRight().length <= all.length);

  aPathInfo p(all);
  Check(p.drive.length + p.directory.length + p.fileName.length + p.extension.length ==
        all.length);
  Check(p.stem.length + p.digits.length == p.fileName.length);

  aClArray a(1, 2, 3);
  a.SetText(all);
  CheckTemp(a.Text());
  return 0;
}
