#pragma once
// The keyed message table: every text shown to a person is registered once with a key and an
// English default text, and is asked for by the id that registration returned. Translation
// files (Language.h) put translated texts over the defaults.

#include <cstdint>

#include "foundation/Array.h"
#include "foundation/HashTable.h"
#include "foundation/Strings.h"

// One message: the key is aHashString::text. Every view points at constant literals, at storage
// that the table keeps for the life of the process, or into a loaded translation file text.
class aTransMessageEntry : public aHashString {
 public:
  aStrd defaultText;  // may be empty: a title registered with its key only
  aStrd translation;  // from the current translation file; may be empty
};

// Entry 0 is never a message, so id 0 stands for none; valid ids are 1 to Count() - 1, in the
// order of first registration.
class aTransTable : public tHashTable<aTransMessageEntry> {
 public:
  aTransTable() {}
  ~aTransTable();

  // Adds the key or, when it is known, puts the non-empty texts over its own. The key view is
  // stored as given: pass constant literals or a KeepText copy.
  int32_t RegisterMessage(aStrd key, aStrd text = aStrd(), aStrd translation = aStrd());
  // The translation, else the default text, else the key; empty for an id outside the table.
  aStrd MessageText(int32_t id) const;
  // Non-empty texts replace those of a valid id; any other id is ignored.
  void SetMessageTexts(int32_t id, aStrd text, aStrd translation);
  // 0 for the empty key, -1 when absent.
  int32_t FindMessage(aStrd key) const { return Find(key); }
  void ClearTranslations();
  // A form text "#key;default" registers its key (copied) and returns the id; any other text
  // gives 0 and stays as it is.
  int32_t RegisterFormText(aStrd text);

  // A copy of a run-time text (a key from a form or a translation file) that lives as long as the
  // table, which for the process's table is the life of the process.
  aStrd KeepText(aStrd text);

 private:
  aTransTable(const aTransTable&) = delete;
  aTransTable& operator=(const aTransTable&) = delete;
  tArray<char*> kept;
};

// The process's one table, created on first use. Creating it registers the messages of every
// unit (below) first, so ids are valid wherever the table is used.
aTransTable& TransTable();
bool TransTableExists();

// Shorthands on the process's table.
int32_t RegisterMessage(aStrd key, aStrd text = aStrd(), aStrd translation = aStrd());
aStrd MessageText(int32_t id);

// Start-up registration. Each unit that shows messages keeps its ids in variables of its own and
// declares, in its own source file, one registration object:
//
//   static int32_t idWrongSize;
//   static void RegisterPrepareMessages() { idWrongSize = RegisterMessage("wrongsize", "..."); }
//   static aMessageUnit prepareMessages("prepare", 50, RegisterPrepareMessages);
//
// The objects only join a list while static objects are built; RegisterUnitMessages (run by the
// program's start-up before anything else, and by the first use of the table) calls the units in
// ascending order, ties by name, so ids do not depend on the link order. A unit whose object
// is built after that (a late static of another module) registers at once.
class aMessageUnit {
 public:
  aMessageUnit(const char* name, int order, void (*registerMessages)());

  const char* name;
  int order;
  void (*registerMessages)();
  bool done;
  aMessageUnit* next;
};

void RegisterUnitMessages();

// Orders of the units of this program (ascending = registration order, as in the table of
// registered messages).
enum {
  kMessageOrderAudio = 10,    // board: the audio mixer
  kMessageOrderDriver = 20,   // board: the driver binding
  kMessageOrderPrepare = 30,  // engine: the preparation worker
  kMessageOrderApp = 40,      // shell: the application object
  kMessageOrderFile = 50,     // foundation: the file object
};

// Shows a message and returns the answer: stores title, icon code and button set in the
// application object, calls its "CallMessWait" hook with the text and returns the result the
// handler left there (0 with no handler). Icon codes: "!", "?", "i", "x", anything else none;
// button sets: "Ok|Cancel", "Retry|Cancel", "Yes|No", "Yes|No|Cancel", anything else OK alone.
int ShowMessageBox(aStrd text, aStrd title = aStrd(), aStrd icon = aStrd(),
                   aStrd buttons = aStrd());
