#pragma once
// The file object: 64-bit positions, exact-count reads, and errors that are either shown to the
// operator from keyed messages or, in quiet mode, only close the file. Every failed operation
// leaves the file closed; the recorded error stays for inspection.

#include <cstdint>

#include "foundation/Strings.h"

// Mode bits of aFile::Open.
enum : int32_t {
  kFileCreate = 0x1,           // create, replacing an existing file; otherwise it must exist
  kFileReadWrite = 0x2,        // read and write, not shared; otherwise read only, shared
  kFileQuiet = 0x4,            // nothing is shown; a failing operation only closes the file
  kFileNoAsk = 0x8,            // with create: replace an existing file without asking
  kFileDeleteOnClose = 0x100,  // delete the file when it is closed
  kFileUnbuffered = 0x200,
  kFileNoSize = 0x400,         // do not take the size when opening
};

class aFile {
 public:
  int32_t error;     // last system error code, 0 = none
  aString name;
  uint64_t position;
  uint64_t size;     // taken when the file was opened
  uint8_t isOpen;
  int32_t mode;

  aFile();
  aFile(const aFile&) = delete;
  aFile& operator=(const aFile&) = delete;

  // The raw operations of a backend, in slot order.
  virtual bool OpenRaw() = 0;
  virtual void CloseRaw();
  virtual bool Flush();
  virtual bool ReadRaw(void* buffer, int32_t count, int32_t* got) = 0;
  virtual bool WriteRaw(const void* buffer, int32_t count, int32_t* put) = 0;
  virtual bool SeekRaw(uint64_t to) = 0;
  virtual bool TruncateRaw() = 0;
  virtual aStrd ErrorText();      // the system's text of error
  virtual bool SetSystemError();  // error = the system's last error; false
  virtual bool SetFormatError();  // error = 13, invalid data; false
  // A backend closes itself in its own destructor: here its slots are gone.
  virtual ~aFile();

  bool Open(aStrd fileName, int32_t openMode);
  // Exactly count bytes at position, which then advances; anything less is a failure.
  bool Read(void* buffer, int32_t count);
  // A 32-bit little-endian value; 0 when the read fails.
  uint32_t ReadU32();
  bool Seek(uint64_t to);  // past the end is allowed; the next read fails
  bool Skip(int64_t count);
  bool Close(bool flush = true);  // always false
  // A reader found data it cannot use: the "ferrFormat" report with detail; false.
  bool FormatError(aStrd detail);

 protected:
  // The error report of every failed operation: shown unless quiet, then the file is closed.
  bool Report(int32_t messageId, aStrd detail);

 private:
  // Readers of headers ask for a few bytes at a time, and every system call costs more than the
  // bytes: small reads of a read-only file are served from a window read ahead, and a seek that
  // lands inside it needs no call at all. Nobody writes such a file while it is open (it is shared
  // for reading only), so the window cannot go stale.
  static const int32_t kWindow = 4096;
  bool ReadAhead(void* buffer, int32_t count, int32_t* got);
  bool InWindow(uint64_t at, int32_t count) const {
    return at >= windowAt && at - windowAt <= static_cast<uint64_t>(windowLength) &&
           static_cast<uint64_t>(count) <= windowLength - (at - windowAt);
  }

  bool windowed;          // this open reads through the window
  int32_t windowLength;   // bytes held, from windowAt
  uint64_t windowAt;
  uint64_t rawPosition;   // where the backend's handle stands
  unsigned char window[kWindow];
};

// The file object over the platform's files: Win32 handles on Windows, a POSIX descriptor
// natively, so that the readers built on aFile also run under the sanitizers and fuzzers.
class aWinFile : public aFile {
 public:
#ifdef _WIN32
  void* handle;  // HANDLE
#else
  int handle;
#endif

  aWinFile();
  ~aWinFile() override;

  bool OpenRaw() override;
  void CloseRaw() override;
  bool ReadRaw(void* buffer, int32_t count, int32_t* got) override;
  bool WriteRaw(const void* buffer, int32_t count, int32_t* put) override;
  bool SeekRaw(uint64_t to) override;
  bool TruncateRaw() override;
};

// Small platform services for callers that only need to know about a file by its name.
bool FileExists(aStrd fileName);
// Deletes the file; false with *error set to the system's code.
bool RemoveFile(aStrd fileName, int32_t* error);
// The calling thread's last system error (GetLastError, errno).
int32_t LastSystemError();
