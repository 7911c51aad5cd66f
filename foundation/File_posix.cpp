// The native raw-file backend behind the same slots: a descriptor, errno as the system error.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "foundation/File.h"

namespace {

bool UsableName(aStrd name) {
  return name.length > 0 && !std::memchr(name.data, 0, static_cast<size_t>(name.length));
}

}  // namespace

aWinFile::aWinFile() : handle(-1) {}

aWinFile::~aWinFile() { Close(true); }

bool aWinFile::OpenRaw() {
  if (!UsableName(name.View())) {
    error = EINVAL;
    return false;
  }
  bool readWrite = (mode & kFileReadWrite) != 0;
  bool create = (mode & kFileCreate) != 0;
  // Unbuffered access has no portable meaning here and is left to the cache.
  int flags = O_CLOEXEC | (readWrite ? O_RDWR : O_RDONLY);
  if (create) flags |= O_CREAT | O_TRUNC;
  int fd = open(name.CStr(), flags, 0666);
  if (fd < 0) return SetSystemError();
  struct stat st;
  if (fstat(fd, &st) != 0) {
    SetSystemError();
    close(fd);
    return false;
  }
  if (S_ISDIR(st.st_mode)) {
    error = EISDIR;
    close(fd);
    return false;
  }
  handle = fd;
  if (!create && !(mode & kFileNoSize)) size = static_cast<uint64_t>(st.st_size);
  return true;
}

void aWinFile::CloseRaw() {
  if (handle >= 0) close(handle);
  handle = -1;
}

bool aWinFile::ReadRaw(void* buffer, int32_t count, int32_t* got) {
  *got = 0;
  char* p = static_cast<char*>(buffer);
  while (*got < count) {
    ssize_t n = read(handle, p + *got, static_cast<size_t>(count - *got));
    if (n < 0) {
      if (errno == EINTR) continue;
      return SetSystemError();
    }
    if (n == 0) break;  // end of file: a short read, as ReadFile reports it
    *got += static_cast<int32_t>(n);
  }
  return true;
}

bool aWinFile::WriteRaw(const void* buffer, int32_t count, int32_t* put) {
  *put = 0;
  const char* p = static_cast<const char*>(buffer);
  while (*put < count) {
    ssize_t n = write(handle, p + *put, static_cast<size_t>(count - *put));
    if (n < 0) {
      if (errno == EINTR) continue;
      return SetSystemError();
    }
    *put += static_cast<int32_t>(n);
  }
  return true;
}

bool aWinFile::SeekRaw(uint64_t to) {
  if (to > static_cast<uint64_t>(INT64_MAX) ||
      lseek(handle, static_cast<off_t>(to), SEEK_SET) == static_cast<off_t>(-1)) {
    error = to > static_cast<uint64_t>(INT64_MAX) ? EINVAL : errno;
    return false;
  }
  return true;
}

bool aWinFile::TruncateRaw() {
  off_t at = lseek(handle, 0, SEEK_CUR);
  if (at < 0 || ftruncate(handle, at) != 0) return SetSystemError();
  return true;
}

bool FileExists(aStrd fileName) {
  if (!UsableName(fileName)) return false;
  aString name(fileName.length + 1, 1);
  name.Assign(fileName);
  struct stat st;
  return stat(name.CStr(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool RemoveFile(aStrd fileName, int32_t* error) {
  if (!UsableName(fileName)) {
    *error = EINVAL;
    return false;
  }
  aString name(fileName.length + 1, 1);
  name.Assign(fileName);
  if (unlink(name.CStr()) == 0) return true;
  *error = errno;
  return false;
}

int32_t LastSystemError() { return errno; }
