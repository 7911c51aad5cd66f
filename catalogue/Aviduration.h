#pragma once
// Duration of an AVI file from the stream header of its first video stream.

#include "foundation/File.h"
#include "foundation/Strings.h"

// true with *seconds set when the file has a usable video stream header; otherwise false and
// *seconds unchanged. report: show file and format errors to the operator (the engine passes
// false and the reader works silently).
bool ReadAviDuration(aStrd fileName, double* seconds, bool report);

// The same through any file object (tests and fuzzing give one over memory).
bool ReadAviDuration(aFile& file, aStrd fileName, double* seconds, bool report);
