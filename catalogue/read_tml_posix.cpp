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
  explicit aTmlFile(const char* name) : fd(name ? open(name, O_RDONLY | O_CLOEXEC) : -1) {
    next = end = block;
  }
  ~aTmlFile() {
    if (fd >= 0) close(fd);
  }
  bool IsOpen() const { return fd >= 0; }

 protected:
  bool ReadOutside(void* buffer, int32_t count) override {
    if (count < 0) return false;
    unsigned char* out = static_cast<unsigned char*>(buffer);
    while (count > 0) {
      if (next == end && !Fill()) return false;
      int32_t n = static_cast<int32_t>(end - next) < count ? static_cast<int32_t>(end - next) : count;
      std::memcpy(out, next, static_cast<size_t>(n));
      next += n;
      out += n;
      count -= n;
    }
    return true;
  }

  bool SkipOutside(int32_t count) override {
    if (count < 0) return false;
    // Past the buffer: move the file, which may go beyond its end; the next read then fails.
    off_t ahead = static_cast<off_t>(count) - (end - next);
    next = end = block;
    return lseek(fd, ahead, SEEK_CUR) >= 0;
  }

 private:
  bool Fill() {
    ssize_t got;
    do got = read(fd, block, sizeof block);
    while (got < 0 && errno == EINTR);
    if (got <= 0) return false;
    next = block;
    end = block + got;
    return true;
  }

  int fd;
  unsigned char block[16384];
};

}  // namespace

bool ReadTmlDuration(const char* fileName, double* seconds, bool* hasVideo) {
  *seconds = 0;
  *hasVideo = false;
  aTmlFile file(fileName);
  if (!file.IsOpen()) return false;
  return ReadTmlDuration(file, fileName, seconds, hasVideo);
}
