#include <windows.h>

#include <cstring>

#include "foundation/File.h"

namespace {

// A name with a NUL inside would name a different file once it is handed to the system.
bool UsableName(aStrd name) {
  return name.length > 0 && !std::memchr(name.data, 0, static_cast<size_t>(name.length));
}

}  // namespace

aWinFile::aWinFile() : handle(INVALID_HANDLE_VALUE) {}

aWinFile::~aWinFile() { Close(true); }

bool aWinFile::OpenRaw() {
  if (!UsableName(name.View())) {
    error = ERROR_INVALID_NAME;
    return false;
  }
  bool readWrite = (mode & kFileReadWrite) != 0;
  bool create = (mode & kFileCreate) != 0;
  DWORD access = readWrite ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
  DWORD share = readWrite ? 0 : FILE_SHARE_READ;
  DWORD disposition = create ? CREATE_ALWAYS : OPEN_EXISTING;
  DWORD flags = (mode & kFileUnbuffered) ? FILE_FLAG_NO_BUFFERING : FILE_ATTRIBUTE_NORMAL;
  HANDLE h = CreateFileA(name.CStr(), access, share, nullptr, disposition, flags, nullptr);
  if (h == INVALID_HANDLE_VALUE) return SetSystemError();
  handle = h;
  if (!create && !(mode & kFileNoSize)) {
    DWORD high = 0;
    SetLastError(0);
    DWORD low = GetFileSize(h, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != 0) {
      SetSystemError();
      CloseRaw();
      return false;
    }
    size = static_cast<uint64_t>(high) << 32 | low;
  }
  return true;
}

void aWinFile::CloseRaw() {
  if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  handle = INVALID_HANDLE_VALUE;
}

bool aWinFile::ReadRaw(void* buffer, int32_t count, int32_t* got) {
  DWORD n = 0;
  BOOL ok = ReadFile(handle, buffer, static_cast<DWORD>(count < 0 ? 0 : count), &n, nullptr);
  *got = static_cast<int32_t>(n);
  return ok ? true : SetSystemError();
}

bool aWinFile::WriteRaw(const void* buffer, int32_t count, int32_t* put) {
  DWORD n = 0;
  BOOL ok = WriteFile(handle, buffer, static_cast<DWORD>(count < 0 ? 0 : count), &n, nullptr);
  *put = static_cast<int32_t>(n);
  return ok ? true : SetSystemError();
}

bool aWinFile::SeekRaw(uint64_t to) {
  LONG high = static_cast<LONG>(to >> 32);
  SetLastError(0);
  DWORD low = SetFilePointer(handle, static_cast<LONG>(to & 0xFFFFFFFFu), &high, FILE_BEGIN);
  if (low == INVALID_SET_FILE_POINTER) {
    DWORD code = GetLastError();
    if (code != 0) {
      error = static_cast<int32_t>(code);
      return false;
    }
  }
  return true;
}

bool aWinFile::TruncateRaw() { return SetEndOfFile(handle) ? true : SetSystemError(); }

bool FileExists(aStrd fileName) {
  if (!UsableName(fileName)) return false;
  aString name(fileName.length + 1, 1);
  name.Assign(fileName);
  DWORD attributes = GetFileAttributesA(name.CStr());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool RemoveFile(aStrd fileName, int32_t* error) {
  if (!UsableName(fileName)) {
    *error = ERROR_INVALID_NAME;
    return false;
  }
  aString name(fileName.length + 1, 1);
  name.Assign(fileName);
  if (DeleteFileA(name.CStr())) return true;
  *error = static_cast<int32_t>(GetLastError());
  return false;
}

int32_t LastSystemError() { return static_cast<int32_t>(GetLastError()); }
