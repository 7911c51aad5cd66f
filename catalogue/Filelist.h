#pragma once
// The names of a folder's entries that match a filter, sorted the way the system orders names
// (case ignored; equal names keep the later-added one first), as the text handed to clients.

#include <cstdint>
#include <vector>

#include "foundation/Strings.h"

class aDirSnapshot;

class aFileList {
 public:
  aFileList();

  // Adds the entries of the folder that match any ";"-separated pattern of the filter. Segments
  // of two bytes or less are ignored; blanks are not trimmed.
  void AddFiles(aStrd folder, aStrd filter);
  // Adds the entries matching one pattern in the directory part of folder: "D:\clips\" searches
  // in "D:\clips\", "D:\clips" in "D:\". Nothing is added when the search cannot start.
  void AddMatches(aStrd folder, aStrd pattern);
  // A name already present is added again.
  void Add(aStrd name);

  int32_t Count() const { return static_cast<int32_t>(entries.size()); }
  aStrd At(int32_t i);  // in list order
  // Every entry followed by CR LF; the empty text for an empty list.
  void Text(aString& text);

 private:
  struct Entry {
    uint64_t key;    // NameOrderKey
    int32_t at;      // in pool
    int32_t length;
    int32_t serial;  // order of adding
  };
  void Sort();
  void AddMatches(aStrd folder, aStrd pattern, aDirSnapshot* snapshot);

  std::vector<char> pool;
  std::vector<Entry> entries;
  bool sorted;
};
