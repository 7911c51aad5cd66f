#include "shell/ApiError.h"

#include "shell/Messages.h"

bool ShowApiErrors = true;

namespace {

bool reportInProgress;

aString& ErrorText() {
  static aString* text = new aString(80, 80);  // lives until the process ends
  return *text;
}

// Made while static objects are built, so the text exists before anything can report.
struct MakeErrorText {
  MakeErrorText() { ErrorText(); }
} makeErrorText;

}  // namespace

aStrd ApiCodeText(int32_t code) {
  aString text(80, 80);
  text.Append("API error ");
  text.Append(IntText(code, 0));
  aString system(80, 80);
  if (AppendSystemErrorText(code, system)) {
    text.Append(": ");
    text.Append(system.View());
  }
  return TempCopy(text.View());
}

bool ReportApiError(int32_t code, aStrd context, aStrd title) {
  if (code == 0) return true;
  if (reportInProgress) return false;
  reportInProgress = true;
  aString& text = ErrorText();
  text.Clear();
  if (!context.IsEmpty()) {
    text.Append(context);
    text.Append('\n');
  }
  text.Append("Return code:\n");
  text.Append(ApiCodeText(code));
  if (ShowApiErrors) ShowMessageBox(text.View(), title, "!", aStrd());
  reportInProgress = false;
  return false;
}

aStrd ApiErrorText() { return ErrorText().View(); }
