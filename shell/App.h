#pragma once
// The application object: the program's identity (path and its parts), the message parameters
// of the message being shown, and the hooks through which the shell reaches the program's
// handlers. One per process, created on first use.

#include <cstdint>

#include "foundation/Entries.h"
#include "foundation/PathInfo.h"
#include "foundation/Strings.h"
#include "shell/Language.h"

class aClApp {
 public:
  aStrd programPath;  // a permanent copy of the executable's name
  aStrd version;      // the file version up to its third "."; empty without a version resource
  aStrd build;        // the file version after its third "."
  aPathInfo pathParts;
  int32_t descriptionId;  // "ProgramDescription"
  int32_t informationId;  // "ProgramInformation"

  // Entries: the registry root and the program's key with its load and save hooks and settings
  // (the settings make the key and the values), then the hooks called with one text argument.
  aClEntry rootKey;
  aClEntry programKey;
  aClEntry keyLoad;
  aClEntry keySave;
  aClEntry language;
  aClEntry scale;
  aClEntry font;
  aClEntry callHelp;
  aClEntry callAbout;
  aClEntry callExit;
  aClEntry callMess;
  aClEntry callMessWait;

  // The message being shown: title, icon code and button set; and the answer its handler left.
  aStrd messageTitle;
  aStrd messageIcon;
  aStrd messageButtons;
  int32_t messageResult;

  aClEntry callDMess;
  aClEntry callDWait;
  aClEntry callDlog;

  aClApp();

  // Replaces the program path with a permanent copy of path and splits it.
  void SetProgramPath(aStrd path);

  aStrd Folder() const;                // drive and directory, ending in a separator
  aStrd PathWithoutExtension() const;  // drive, directory and base name
  aStrd BaseName() const { return pathParts.fileName; }
  aStrd FileName() const;              // base name and extension

 private:
  aClApp(const aClApp&) = delete;
  aClApp& operator=(const aClApp&) = delete;
};

// The implementation object: binds the standard handlers and reads the program's identity. It
// is the language object of the program and adds nothing else.
class aClAppImplement : public aAppLang {
 public:
  explicit aClAppImplement(aClApp& app);
};

// The process's application object (created, with its implementation, on first use) and its
// implementation; AppImplement() is null until App() has run.
aClApp& App();
aClAppImplement* AppImplement();

// What the windowed application itself keeps for the shell.
struct aApplication {
  aString title;
  aString helpFile;
  aApplication() : title(80, 80), helpFile(80, 80) {}
};
aApplication& Application();

// The executable's full name; platform.
aStrd ExecutableName();
