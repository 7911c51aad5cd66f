#include "shell/App.h"

#include "shell/MessageBox.h"
#include "shell/Messages.h"

namespace {

aClApp* processApp;
aClAppImplement* processImplement;

int32_t idDescription, idInformation;

void RegisterAppMessages() {
  idDescription = RegisterMessage("ProgramDescription", "Test application");
  idInformation = RegisterMessage("ProgramInformation");
}

aMessageUnit appMessages("app", kMessageOrderApp, RegisterAppMessages);

// Copies that live as long as the process.
aStrd KeepForever(aStrd text) {
  static tArray<char*>* kept = new tArray<char*>(10);
  char* copy = text.NewCString();
  if (!copy) return aStrd();
  kept->Append(copy);
  return aStrd(copy, text.length);
}

// A hook: a string value that carries the argument to its listeners.
aClEntry Hook(const aClEntry& parent, const char* name) {
  return aClEntry(parent, aStrd(name), aStrd(), aFlags());
}

aStrd HookText(void* argument) { return static_cast<aClNode*>(argument)->Text(); }

void AboutHandler(void* userData, void*) {
  aClApp* app = static_cast<aClApp*>(userData);
  aString text(80, 80);
  text.Append(MessageText(app->descriptionId));
  text.Append('\n');
  text.Append(app->version);
  text.Append(' ');
  text.Append(app->build);
  text.Append('\n');
  text.Append(MessageText(app->informationId));
  ShowMessageBox(text.View(), "About", "@", aStrd());
}

void DebugHandler(void*, void* argument) {
  ShowMessageBox(HookText(argument), "Debug", aStrd(), aStrd());
}

// The standard "CallMessWait" handler: the parameters are read before the box runs the message
// loop, and the answer is stored after it, so a message shown meanwhile cannot take its place.
void MessageBoxHandler(void* userData, void* argument) {
  aClApp* app = static_cast<aClApp*>(userData);
  int answer = StandardMessageBox(HookText(argument), app->messageTitle, app->messageIcon,
                                  app->messageButtons);
  app->messageResult = answer;
}

}  // namespace

aClApp::aClApp()
    : pathParts(aStrd()), descriptionId(0), informationId(0), messageResult(0) {
  RegisterAppMessages();
  descriptionId = idDescription;
  informationId = idInformation;

  aClEntry application(aStrd("Application"), nullptr, aFlags());
  rootKey = aClEntry(application, "RootKey", nullptr, aFlags(1u << kNodeRegistryKey));
  keyLoad = Hook(rootKey, "KeyLoad");
  keySave = Hook(rootKey, "KeySave");
  callHelp = Hook(application, "CallHelp");
  callAbout = Hook(application, "CallAbout");
  callExit = Hook(application, "CallExit");
  callMess = Hook(application, "CallMess");
  callMessWait = Hook(application, "CallMessWait");
  callDMess = Hook(application, "CallDMess");
  callDWait = Hook(application, "CallDWait");
  callDlog = Hook(application, "CallDlog");

  callAbout.node->listeners.AddFirst(AboutHandler, this);
  callDWait.node->listeners.AddFirst(DebugHandler, this);
}

void aClApp::SetProgramPath(aStrd path) {
  programPath = KeepForever(path);
  pathParts = aPathInfo(programPath);
}

aStrd aClApp::Folder() const {
  return programPath.Sub(0, pathParts.drive.length + pathParts.directory.length);
}

aStrd aClApp::PathWithoutExtension() const {
  return programPath.Sub(
      0, pathParts.drive.length + pathParts.directory.length + pathParts.fileName.length);
}

aStrd aClApp::FileName() const {
  return programPath.Sub(Folder().length, pathParts.fileName.length + pathParts.extension.length);
}

// The order matters: the message box is bound before anything can be shown, and the identity
// is known before the language is chosen. The settings join in their places: the terminate
// procedure with the language object; the help, exit, caption and registry walk handlers beside
// the message box; the version resource after the description; the program key, "Language" (with
// DefaultLanguage and SelectLanguage bound to its changes), "Scale" and "Font" after the title,
// then the program key is loaded and the language selected from "Language".
aClAppImplement::aClAppImplement(aClApp& app) : aAppLang(nullptr, &app.pathParts) {
  app.callMessWait.node->listeners.AddFirst(MessageBoxHandler, &app);
  app.SetProgramPath(ExecutableName());
  aApplication& application = Application();
  application.helpFile.Assign(app.PathWithoutExtension());
  application.helpFile.Append(".hlp");
  TransTable().SetMessageTexts(app.descriptionId, app.FileName(), aStrd());
  application.title.Assign(MessageText(app.descriptionId));
  application.title.Append(' ');
  application.title.Append(app.version);
  SelectLanguage(DefaultLanguage(app.PathWithoutExtension()));
}

aClApp& App() {
  if (!processApp) {
    // Set before the implementation is made: what it shows reaches App() again.
    processApp = new aClApp;
    processImplement = new aClAppImplement(*processApp);
  }
  return *processApp;
}

aClAppImplement* AppImplement() { return processImplement; }

aApplication& Application() {
  static aApplication* application = new aApplication;
  return *application;
}

int ShowMessageBox(aStrd text, aStrd title, aStrd icon, aStrd buttons) {
  aClApp& app = App();
  app.messageTitle = title;
  app.messageIcon = icon;
  app.messageButtons = buttons;
  app.messageResult = 0;
  CallHook(app.callMessWait.node, text);
  return app.messageResult;
}
