// The project file on Windows: the multimedia buffered file functions, read access with writers
// kept out while the project is read.

#include <windows.h>
#include <mmsystem.h>

#include "catalogue/read_tml.h"

namespace {

class aTmlFile : public aTmlSource {
 public:
  explicit aTmlFile(const char* name)
      : handle(name ? mmioOpenA(const_cast<char*>(name), nullptr,
                                MMIO_READ | MMIO_DENYWRITE | MMIO_ALLOCBUF)
                    : nullptr) {}
  ~aTmlFile() {
    if (handle) mmioClose(handle, 0);
  }
  bool IsOpen() const { return handle != nullptr; }

 protected:
  // The window stays empty: every read goes through the multimedia file's own buffer.
  bool ReadOutside(void* buffer, int32_t count) override {
    if (count <= 0) return count == 0;
    return mmioRead(handle, static_cast<HPSTR>(buffer), count) == count;
  }
  bool SkipOutside(int32_t count) override {
    return count >= 0 && mmioSeek(handle, count, SEEK_CUR) >= 0;
  }

 private:
  HMMIO handle;
};

}  // namespace

bool ReadTmlDuration(const char* fileName, double* seconds, bool* hasVideo) {
  *seconds = 0;
  *hasVideo = false;
  aTmlFile file(fileName);
  if (!file.IsOpen()) return false;
  return ReadTmlDuration(file, fileName, seconds, hasVideo);
}
