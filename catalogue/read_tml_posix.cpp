// The project file on a POSIX system: read through a buffer of our own. There are no share modes
// here, so writers are not kept out while the file is read.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "catalogue/read_tml.h"

namespace {

class aTmlFile : public aTmlSource {
 public:
  explicit aTmlFile(const char* name) : fd(name ? open(name, O_RDONLY | O_CLOEXEC) : -1) {}
  ~aTmlFile() {
    if (fd >= 0) close(fd);
  }
  bool IsOpen() const { return fd >= 0; }

  bool Read(void* buffer, int32_t count) override {
    char* out = static_cast<char*>(buffer);
    while (count > 0) {
      if (at == filled && !Fill()) return false;
      int32_t n = filled - at < count ? filled - at : count;
      std::memcpy(out, block + at, static_cast<size_t>(n));
      at += n;
      out += n;
      count -= n;
    }
    return count == 0;
  }

  bool Skip(int32_t count) override {
    if (count < 0) return false;
    if (count <= filled - at) {
      at += count;
      return true;
    }
    // Past the buffer: move the file, which may go beyond its end; the next read then fails.
    off_t ahead = static_cast<off_t>(count) - (filled - at);
    at = filled = 0;
    return lseek(fd, ahead, SEEK_CUR) >= 0;
  }

 private:
  bool Fill() {
    ssize_t got;
    do got = read(fd, block, sizeof block);
    while (got < 0 && errno == EINTR);
    if (got <= 0) return false;
    at = 0;
    filled = static_cast<int32_t>(got);
    return true;
  }

  int fd;
  char block[16384];
  int32_t at = 0;
  int32_t filled = 0;
};

}  // namespace

bool ReadTmlDuration(const char* fileName, double* seconds, bool* hasVideo) {
  *seconds = 0;
  *hasVideo = false;
  aTmlFile file(fileName);
  if (!file.IsOpen()) return false;
  return ReadTmlDuration(file, fileName, seconds, hasVideo);
}
