#pragma once
// Translation files: ".lng" texts beside the program that put translated texts over the message
// table's defaults by key, and the choice of language.

#include <cstdint>

#include "foundation/Array.h"
#include "foundation/PathInfo.h"
#include "foundation/Strings.h"

class aTransTable;

// The language object owns the loaded file texts, which the table's translations point into.
class aAppLang {
 public:
  // Null arguments stand for the process's message table and the program's path (App()).
  explicit aAppLang(aTransTable* table = nullptr, const aPathInfo* program = nullptr);
  ~aAppLang();

  // Reads program folder + name + ".lng" and applies it; a missing file is reported.
  void LoadTranslationFile(aStrd name);
  // Drops every translation, then loads base name + value (unless value is empty or begins with
  // "-") and points the application's help file at the matching ".hlp".
  void SelectLanguage(aStrd value);

  // The parse of one file's bytes (lines end with CR LF, CR or LF): keeps a copy joined by CR LF
  // and applies its entries. Includes are loaded by LoadTranslationFile.
  void LoadTranslationText(aStrd bytes);

  // Empties the table's translations and frees the file texts, in that order.
  void FreeTranslations();

  int32_t FileCount() const { return files.Count(); }

  static const int32_t kMaxFiles = 10;  // per language; also ends include cycles

  tArray<char*> files;  // NUL-terminated texts in load order

 private:
  aAppLang(const aAppLang&) = delete;
  aAppLang& operator=(const aAppLang&) = delete;
  aTransTable& Table();
  const aPathInfo& Program();
  void Parse(const char* text, int32_t length);

  aTransTable* table;
  const aPathInfo* program;
};

// The default of the "Language" setting: "Russian" when the user's locale has country code "7"
// and program path without extension + "Russian.lng" exists, else "-- Default --".
aStrd DefaultLanguage(aStrd pathWithoutExtension);
aStrd ChooseDefaultLanguage(aStrd countryCode, aStrd pathWithoutExtension);

// The user's default locale's country code ("1", "7", ...); platform.
aStrd UserCountryCode();
