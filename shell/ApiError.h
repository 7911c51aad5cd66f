#pragma once
// One way to describe a failed system or Play Server call: the context naming the call, the
// result code in decimal and the system's own text for it. The last description is kept as the
// process's API-error text.

#include <cstdint>

#include "foundation/Strings.h"

// "API error <code>" and, when the system has a text for the code, ": <text>" (as the system
// gives it, line end included). A temporary text.
aStrd ApiCodeText(int32_t code);

// true for code 0 (the text stays as it is). Otherwise the API-error text becomes the context (if
// any) and "\n", "Return code:\n" and ApiCodeText(code); it is shown under title with icon "!"
// while ShowApiErrors is on; the result is false. A report that arrives while another one is
// being shown (its message box runs the message loop) is dropped.
bool ReportApiError(int32_t code, aStrd context = aStrd(), aStrd title = aStrd());

// The description made by the last report; empty until the first one.
aStrd ApiErrorText();

// Reports are shown in a message box; on at start-up, the playback engine turns it off.
extern bool ShowApiErrors;

// The platform's text for a result code appended to out; false (nothing appended) when the
// system has none.
bool AppendSystemErrorText(int32_t code, aStringMaker& out);
