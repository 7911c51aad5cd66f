#pragma once
// The two things the folder listing needs from the operating system: its directory search over a
// wildcard path, and its locale-aware, case-insensitive order of names.

#include <cstdint>

#include "foundation/Strings.h"

// Called with every name the search finds (the name only, without its folder).
typedef void (*aFoundName)(void* context, const char* name, int32_t length);

// Searches the folder part of path for the names matching its last component, a wildcard ("*"
// any run, "?" one character, case not significant). False when the search cannot start: no such
// folder, nothing matches, no access.
bool SearchDirectory(const char* path, aFoundName found, void* context);

// Less than, equal to or greater than 0 as a sorts before, with or after b, case ignored.
int CompareNamesNoCase(aStrd a, aStrd b);

// The wildcard rule of the native search, for its tests: the pattern against a whole name.
bool WildcardMatches(aStrd pattern, aStrd name);
