#include "shell/Messages.h"

#include <cstring>

// --- the table -------------------------------------------------------------------------------

aTransTable::~aTransTable() {
  for (int32_t i = 0; i < kept.Count(); i++) delete[] kept[i];
}

int32_t aTransTable::RegisterMessage(aStrd key, aStrd text, aStrd translation) {
  int32_t found = Find(key);
  if (found >= 0) {
    if (found > 0) SetMessageTexts(found, text, translation);
    return found;
  }
  aTransMessageEntry entry;
  entry.text = key;
  entry.hash = aHashString::Hash(key);
  entry.defaultText = text;
  entry.translation = translation;
  int32_t id = Add(entry);
  return id > 0 ? id : 0;
}

aStrd aTransTable::MessageText(int32_t id) const {
  if (id <= 0 || id >= Count()) return aStrd();
  const aTransMessageEntry& e = At(id);
  if (!e.translation.IsEmpty()) return e.translation;
  if (!e.defaultText.IsEmpty()) return e.defaultText;
  return e.text;
}

void aTransTable::SetMessageTexts(int32_t id, aStrd text, aStrd translation) {
  if (id <= 0 || id >= Count()) return;
  aTransMessageEntry& e = At(id);
  if (!text.IsEmpty()) e.defaultText = text;
  if (!translation.IsEmpty()) e.translation = translation;
}

void aTransTable::ClearTranslations() {
  for (int32_t i = 0; i < Count(); i++) At(i).translation = aStrd();
}

int32_t aTransTable::RegisterFormText(aStrd text) {
  if (text.length <= 0 || text.data[0] != '#') return 0;
  int32_t semicolon = -1;
  for (int32_t i = 1; i < text.length; i++)
    if (text.data[i] == ';') {
      semicolon = i;
      break;
    }
  if (semicolon == 1) return 0;
  aStrd key = text.Sub(1, (semicolon < 0 ? text.length : semicolon) - 1);
  aStrd defaultText = semicolon < 0 ? aStrd() : text.Sub(semicolon + 1, text.length);
  if (key.IsEmpty()) return 0;  // "#" alone
  int32_t found = Find(key);
  if (found > 0 && !At(found).defaultText.IsEmpty()) return found;
  // Both views outlive the form that handed them in.
  aStrd keptDefault = KeepText(defaultText);
  if (found > 0) {
    SetMessageTexts(found, keptDefault, aStrd());
    return found;
  }
  return RegisterMessage(KeepText(key), keptDefault, aStrd());
}

aStrd aTransTable::KeepText(aStrd text) {
  if (text.length <= 0) return aStrd();
  char* copy = text.NewCString();
  if (kept.Append(copy) < 0) {
    delete[] copy;
    return aStrd();
  }
  return aStrd(copy, text.length);
}

// --- the process's table and start-up registration -------------------------------------------

namespace {

aTransTable* processTable;     // never destroyed: ids and texts stay valid to the very end
aMessageUnit* firstUnit;       // constant-initialised, so units may join in any static order
bool unitsRegistered;

// The next unit due: the smallest (order, name) not yet done.
aMessageUnit* NextUnit() {
  aMessageUnit* best = nullptr;
  for (aMessageUnit* u = firstUnit; u; u = u->next) {
    if (u->done) continue;
    if (!best || u->order < best->order ||
        (u->order == best->order && std::strcmp(u->name, best->name) < 0))
      best = u;
  }
  return best;
}

}  // namespace

aMessageUnit::aMessageUnit(const char* name_, int order_, void (*registerMessages_)())
    : name(name_ ? name_ : ""), order(order_), registerMessages(registerMessages_), done(false),
      next(firstUnit) {
  firstUnit = this;
  if (unitsRegistered) {
    done = true;
    if (registerMessages) registerMessages();
  }
}

void RegisterUnitMessages() {
  TransTable();  // the first use runs the registration
}

aTransTable& TransTable() {
  if (!processTable) {
    processTable = new aTransTable;
    unitsRegistered = true;
    // A unit's registration reaches this function again; the table exists by then.
    while (aMessageUnit* u = NextUnit()) {
      u->done = true;
      if (u->registerMessages) u->registerMessages();
    }
  }
  return *processTable;
}

bool TransTableExists() { return processTable != nullptr; }

int32_t RegisterMessage(aStrd key, aStrd text, aStrd translation) {
  return TransTable().RegisterMessage(key, text, translation);
}

aStrd MessageText(int32_t id) { return TransTable().MessageText(id); }
