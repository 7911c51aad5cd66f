#include "foundation/Values.h"

aClInt::aClInt(int32_t value_, int32_t minimum_, int32_t maximum_)
    : value(0), defaultValue(0), minimum(minimum_), maximum(maximum_) {
  value = defaultValue = Clamp(value_);
}

void aClInt::SetText(aStrd text) {
  if (text.EqualsNoCase("off") || text.EqualsNoCase("false")) {
    SetInt(0);
  } else if (text.EqualsNoCase("on") || text.EqualsNoCase("true")) {
    SetInt(1);
  } else {
    aScanString scan(text);
    SetInt(scan.ReadInt(value));
  }
}

void aClInt::Assign(const aClValue* other) {
  if (const aClInt* i = dynamic_cast<const aClInt*>(other)) {
    SetInt(i->value);
  } else {
    aClValue::Assign(other);
  }
}

void aClInt::CopyFrom(const aClValue* other) {
  if (!other) return;
  if (const aClInt* i = dynamic_cast<const aClInt*>(other)) {
    value = i->value;
    defaultValue = i->defaultValue;
    minimum = i->minimum;
    maximum = i->maximum;
    return;
  }
  minimum = INT32_MIN;
  maximum = INT32_MAX;
  SetText(other->DefaultText());
  defaultValue = value;
  SetText(other->Text());
}

void aClString::CopyFrom(const aClValue* other) {
  if (!other || other == this) return;
  text.Assign(other->Text());
  defaultText.Assign(other->DefaultText());
}

aClArray::aClArray(int a1, int a2, int a3, int a4, int a5, int a6, int a7, int a8, int a9,
                   int a10, int a11, int a12, int a13, int a14, int a15, int a16)
    : items(20) {
  int all[16] = {a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15, a16};
  for (int v : all)
    if (v != kNoValue) items.Append(v);
}

aStrd aClArray::Text() const {
  aString work(80, 80);
  for (int32_t i = 0; i < items.length; i++) {
    aStrd item = IntText(items[i], 0);
    if (work.length + (i > 0 ? 1 : 0) + item.length > TempRing::kSize - 1) break;
    if (i > 0) work.Append(' ');
    work.Append(item);
  }
  return TempCopy(work.View());
}

void aClArray::SetText(aStrd text) {
  aScanString scan(text);
  for (int32_t i = 0;; i++) {
    // Words are runs of bytes above 32. Anything else separates them: a tab or a byte above
    // 127 would otherwise hold the scan in place for ever.
    while (scan.pos < scan.length && static_cast<signed char>(scan.data[scan.pos]) <= 32)
      scan.pos++;
    if (scan.Remaining() <= 0) break;
    if (i < items.length) {
      items[i] = scan.ReadInt(items[i]);
    } else if (items.Append(scan.ReadInt(0)) < 0) {
      break;
    }
    scan.SkipWord();
  }
}

void aClArray::Assign(const aClValue* other) {
  if (other == this) return;
  if (const aClArray* a = dynamic_cast<const aClArray*>(other)) {
    items.Clear();
    items.Insert(0, a->items.data, a->items.length);
  } else {
    aClValue::Assign(other);
  }
}
