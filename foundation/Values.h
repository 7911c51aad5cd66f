#pragma once
// Settings values that convert to and from text, and a 32-bit flag set.

#include <climits>
#include <cstdint>

#include "foundation/Array.h"
#include "foundation/Strings.h"

class aFlags {
 public:
  uint32_t bits;

  aFlags(uint32_t bits_ = 0) : bits(bits_) {}
  void Set(int n) { bits |= 1u << (n & 31); }
  void Clear(int n) { bits &= ~(1u << (n & 31)); }
  bool Test(int n) const { return (bits >> (n & 31)) & 1u; }
};

// The base kind holds nothing; Text() answers empty and SetText() ignores its text.
class aClValue {
 public:
  aClValue() {}
  aClValue(const aClValue&) = delete;
  aClValue& operator=(const aClValue&) = delete;

  virtual aClValue* NewEmpty() const { return new aClValue; }
  virtual ~aClValue() {}
  virtual aStrd Text() const { return aStrd(); }
  virtual aStrd DefaultText() const { return aStrd(); }
  virtual void SetText(aStrd text) {}
  virtual void Assign(const aClValue* other) {
    if (other) SetText(other->Text());
  }
  virtual void Reset() { SetText(DefaultText()); }
  virtual void CopyFrom(const aClValue* other) { Assign(other); }
};

class aClInt : public aClValue {
 public:
  int32_t value;
  int32_t defaultValue;
  int32_t minimum;
  int32_t maximum;

  aClInt() : value(0), defaultValue(0), minimum(INT32_MIN), maximum(INT32_MAX) {}
  aClInt(int32_t value_, int32_t minimum_, int32_t maximum_);

  aClValue* NewEmpty() const override { return new aClInt; }
  aStrd Text() const override { return IntText(value, 0); }
  aStrd DefaultText() const override { return IntText(defaultValue, 0); }
  // "off"/"false" and "on"/"true" in any case, else a number; a text without digits changes nothing.
  void SetText(aStrd text) override;
  void Assign(const aClValue* other) override;
  void Reset() override { SetInt(defaultValue); }
  void CopyFrom(const aClValue* other) override;
  virtual void SetInt(int32_t v) { value = Clamp(v); }

 private:
  int32_t Clamp(int32_t v) const { return v < minimum ? minimum : v > maximum ? maximum : v; }
};

class aClString : public aClValue {
 public:
  tString<20> text;
  tString<20> defaultText;

  aClString() {}
  explicit aClString(aStrd initial) {
    text.Assign(initial);
    defaultText.Assign(initial);
  }

  aClValue* NewEmpty() const override { return new aClString; }
  aStrd Text() const override { return text.View(); }
  aStrd DefaultText() const override { return defaultText.View(); }
  void SetText(aStrd t) override { text.Assign(t); }
  void CopyFrom(const aClValue* other) override;
};

class aClArray : public aClValue {
 public:
  static const int32_t kNoValue = INT32_MIN;
  tFindArray<int> items;

  // Up to 16 items; arguments left at kNoValue are left out.
  aClArray(int a1 = kNoValue, int a2 = kNoValue, int a3 = kNoValue, int a4 = kNoValue,
           int a5 = kNoValue, int a6 = kNoValue, int a7 = kNoValue, int a8 = kNoValue,
           int a9 = kNoValue, int a10 = kNoValue, int a11 = kNoValue, int a12 = kNoValue,
           int a13 = kNoValue, int a14 = kNoValue, int a15 = kNoValue, int a16 = kNoValue);

  int At(int32_t index) const { return index >= 0 && index < items.length ? items[index] : 0; }

  aClValue* NewEmpty() const override { return new aClArray; }
  // The items joined by single blanks, as a temporary text. A text that would pass the ring's
  // 9999 bytes ends with the last whole item that fits.
  aStrd Text() const override;
  aStrd DefaultText() const override { return Text(); }
  // Word i sets item i (a word without digits keeps it); items past the last word stay.
  void SetText(aStrd text) override;
  void Assign(const aClValue* other) override;
  void Reset() override {}
};
