#include "catalogue/Filelist.h"

#include <algorithm>
#include <cstring>

#include "catalogue/Dirsearch.h"
#include "foundation/PathInfo.h"

namespace {

const int32_t kSearchPath = 256;

void FoundName(void* context, const char* name, int32_t length) {
  // The entry's name without any folder: its file name and extension.
  aPathInfo info(aStrd(name, length));
  static_cast<aFileList*>(context)->Add(
      aStrd(info.fileName.data, info.fileName.length + info.extension.length));
}

}  // namespace

aFileList::aFileList() : sorted(true) {}

void aFileList::AddFiles(aStrd folder, aStrd filter) {
  aDirSnapshot snapshot;
  int32_t from = 0;
  for (int32_t i = 0; i < filter.length; i++) {
    if (filter.data[i] != ';') continue;
    if (i - from > 2) AddMatches(folder, filter.Sub(from, i - from), &snapshot);
    from = i + 1;
  }
  if (filter.length - from > 2)
    AddMatches(folder, filter.Sub(from, filter.length - from), &snapshot);
}


void aFileList::AddMatches(aStrd folder, aStrd pattern) { AddMatches(folder, pattern, nullptr); }

void aFileList::AddMatches(aStrd folder, aStrd pattern, aDirSnapshot* snapshot) {
  aPathInfo info(folder);
  aStrd directory(folder.data, info.drive.length + info.directory.length);
  // A search path that does not fit would search a cut pattern or folder and list names that were
  // never asked for: such a folder lists nothing.
  if (static_cast<int64_t>(directory.length) + pattern.length > kSearchPath) return;
  aTempString path(kSearchPath);
  path.Append(directory);
  path.Append(pattern);
  SearchDirectory(path.CStr(), FoundName, this, snapshot);
}

void aFileList::Add(aStrd name) {
  Entry e;
  e.key = NameOrderKey(name);
  e.at = static_cast<int32_t>(pool.size());
  e.length = name.length;
  e.serial = static_cast<int32_t>(entries.size());
  if (name.length > 0) pool.insert(pool.end(), name.data, name.data + name.length);
  entries.push_back(e);
  sorted = false;
}

void aFileList::Sort() {
  if (sorted) return;
  // Inserting each name before the first one that does not sort before it puts equal names in
  // reverse order of adding; sorting once on (name, later first) gives the same list.
  const char* base = pool.data();
  std::sort(entries.begin(), entries.end(), [base](const Entry& a, const Entry& b) {
    if (a.key != b.key) return a.key < b.key;
    int c = CompareNamesNoCase(aStrd(base + a.at, a.length), aStrd(base + b.at, b.length));
    return c != 0 ? c < 0 : a.serial > b.serial;
  });
  sorted = true;
}

aStrd aFileList::At(int32_t i) {
  if (i < 0 || i >= Count()) return aStrd();
  Sort();
  return aStrd(pool.data() + entries[static_cast<size_t>(i)].at,
               entries[static_cast<size_t>(i)].length);
}

void aFileList::Text(aString& text) {
  Sort();
  text.Clear();
  int64_t total = static_cast<int64_t>(pool.size()) + 2 * static_cast<int64_t>(entries.size());
  if (total == 0 || total > INT32_MAX) return;
  // One allocation for the whole text.
  int32_t at;
  if (text.MakeRoom(0, static_cast<int32_t>(total), &at) != total) {
    text.Clear();
    return;
  }
  char* out = text.data;
  for (const Entry& e : entries) {
    if (e.length > 0) std::memcpy(out, pool.data() + e.at, static_cast<size_t>(e.length));
    out += e.length;
    *out++ = '\r';
    *out++ = '\n';
  }
}
