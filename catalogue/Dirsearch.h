#pragma once
// The two things the folder listing needs from the operating system: its directory search over a
// wildcard path, and its locale-aware, case-insensitive order of names.

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/Strings.h"

// Called with every name the search finds (the name only, without its folder).
typedef void (*aFoundName)(void* context, const char* name, int32_t length);

// The entries of one folder as the first search of a listing read them, for the listing's further
// patterns in the same folder. Only the native search uses it (one walk per listing instead of one
// per pattern, the same snapshot for every pattern); the Windows search asks the system each time.
class aDirSnapshot {
 public:
  aDirSnapshot() : taken(false), readable(false) {}
  bool taken;
  bool readable;
  std::string folder;
  std::vector<char> names;  // each followed by a NUL
};

// Searches the folder part of path for the names matching its last component, a wildcard ("*"
// any run, "?" one character, case not significant). False when the search cannot start: no such
// folder, nothing matches, no access.
bool SearchDirectory(const char* path, aFoundName found, void* context,
                     aDirSnapshot* snapshot = nullptr);

// Less than, equal to or greater than 0 as a sorts before, with or after b, case ignored.
int CompareNamesNoCase(aStrd a, aStrd b);

// A key for a quick first comparison of two names: where the keys differ, their order is the
// order CompareNamesNoCase gives; equal keys decide nothing.
uint64_t NameOrderKey(aStrd name);

// The wildcard rule of the native search, for its tests: the pattern against a whole name.
bool WildcardMatches(aStrd pattern, aStrd name);
