// Directory search of a POSIX system, matching the way the Windows search selects names: the
// wildcard is compared without regard to case, against the long name and against the short 8.3
// name Windows gives a long one (so "*.avi" also finds "x.avix" there, and here).

#include <dirent.h>

#include <cstring>
#include "catalogue/Dirsearch.h"

namespace {

char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool Special(char c) {
  return c == '+' || c == ',' || c == ';' || c == '=' || c == '[' || c == ']';
}

bool Legal83(aStrd name) {
  int32_t dot = -1;
  for (int32_t i = 0; i < name.length; i++) {
    char c = name.data[i];
    if (c == '.') {
      if (dot >= 0) return false;
      dot = i;
    } else if (c == ' ' || Special(c) || static_cast<unsigned char>(c) < 32) {
      return false;
    }
  }
  int32_t base = dot < 0 ? name.length : dot;
  int32_t ext = dot < 0 ? 0 : name.length - dot - 1;
  return base >= 1 && base <= 8 && ext <= 3 && !(dot >= 0 && ext == 0);
}

// The usual short form of a long name: six characters of the base, "~1", three of the extension.
// out has room for 13 bytes.
int32_t ShortName(aStrd name, char* out) {
  int32_t dot = -1;
  for (int32_t i = 1; i < name.length; i++)
    if (name.data[i] == '.') dot = i;
  int32_t n = 0;
  int32_t baseEnd = dot < 0 ? name.length : dot;
  for (int32_t i = 0; i < baseEnd && n < 6; i++) {
    char c = name.data[i];
    if (c == ' ' || c == '.') continue;
    out[n++] = Special(c) ? '_' : c;
  }
  out[n++] = '~';
  out[n++] = '1';
  if (dot >= 0) {
    out[n++] = '.';
    for (int32_t i = dot + 1, k = 0; i < name.length && k < 3; i++) {
      char c = name.data[i];
      if (c == ' ') continue;
      out[n++] = Special(c) ? '_' : c;
      k++;
    }
  }
  return n;
}

bool Matches(aStrd wildcard, aStrd name) {
  if (WildcardMatches(wildcard, name)) return true;
  if (Legal83(name)) return false;
  char shortName[16];
  return WildcardMatches(wildcard, aStrd(shortName, ShortName(name, shortName)));
}

struct aDirCloser {
  DIR* dir;
  ~aDirCloser() {
    if (dir) closedir(dir);
  }
};

}  // namespace

bool WildcardMatches(aStrd pattern, aStrd name) {
  // "*.*" is every name, dot or no dot, as on Windows.
  if (pattern.length == 3 && std::memcmp(pattern.data, "*.*", 3) == 0) return true;
  int32_t p = 0, n = 0, star = -1, resume = 0;
  while (n < name.length) {
    if (p < pattern.length && pattern.data[p] == '*') {
      star = p++;
      resume = n;
    } else if (p < pattern.length &&
               (pattern.data[p] == '?' || Fold(pattern.data[p]) == Fold(name.data[n]))) {
      p++;
      n++;
    } else if (star >= 0) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.length && pattern.data[p] == '*') p++;
  return p == pattern.length;
}

bool SearchDirectory(const char* path, aFoundName found, void* context, aDirSnapshot* snapshot) {
  std::string folder(path);
  for (char& c : folder)
    if (c == '\\') c = '/';
  size_t slash = folder.rfind('/');
  std::string pattern = slash == std::string::npos ? folder : folder.substr(slash + 1);
  folder = slash == std::string::npos ? std::string(".") : folder.substr(0, slash + 1);
  aStrd wildcard(pattern.data(), static_cast<int32_t>(pattern.size()));
  bool any = false;

  if (snapshot && snapshot->taken && snapshot->folder == folder) {
    if (!snapshot->readable) return false;
    const char* end = snapshot->names.data() + snapshot->names.size();
    for (const char* p = snapshot->names.data(); p < end;) {
      aStrd name(p);
      if (Matches(wildcard, name)) {
        found(context, name.data, name.length);
        any = true;
      }
      p += name.length + 1;
    }
    return any;
  }

  aDirCloser dir{opendir(folder.c_str())};
  if (snapshot) {
    snapshot->taken = true;
    snapshot->readable = dir.dir != nullptr;
    snapshot->folder = folder;
    snapshot->names.clear();
  }
  if (!dir.dir) return false;
  while (dirent* entry = readdir(dir.dir)) {
    aStrd name(entry->d_name);
    if (snapshot) {
      snapshot->names.insert(snapshot->names.end(), name.data, name.data + name.length);
      snapshot->names.push_back(0);
    }
    if (Matches(wildcard, name)) {
      found(context, name.data, name.length);
      any = true;
    }
  }
  return any;
}

int CompareNamesNoCase(aStrd a, aStrd b) {
  int32_t n = a.length < b.length ? a.length : b.length;
  for (int32_t i = 0; i < n; i++) {
    if (a.data[i] == b.data[i]) continue;
    unsigned char x = static_cast<unsigned char>(Fold(a.data[i]));
    unsigned char y = static_cast<unsigned char>(Fold(b.data[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.length < b.length ? -1 : a.length > b.length ? 1 : 0;
}

// The first eight folded bytes, most significant first; a shorter name is padded with zeros,
// which sort before any byte of a name.
uint64_t NameOrderKey(aStrd name) {
  uint64_t key = 0;
  for (int32_t i = 0; i < 8; i++)
    key = key << 8 | (i < name.length ? static_cast<unsigned char>(Fold(name.data[i])) : 0u);
  return key;
}
