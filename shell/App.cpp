#include "shell/App.h"

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

}  // namespace

aClApp::aClApp()
    : pathParts(aStrd()), descriptionId(0), informationId(0), messageResult(0) {
  RegisterAppMessages();
  descriptionId = idDescription;
  informationId = idInformation;
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

aClAppImplement::aClAppImplement(aClApp& app) : aAppLang(nullptr, &app.pathParts) {
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
  return app.messageResult;
}
