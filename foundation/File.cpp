#include "foundation/File.h"

#include <cstring>

#include "shell/ApiError.h"
#include "shell/Messages.h"

namespace {

int32_t idFileError, idCreatingFile, idNew, idOpenRead, idOpenWrite, idDelete, idAskReplace,
    idSeek, idSeekP, idSeteof, idSeteofP, idRead, idReadP, idWrite, idWriteP, idRename, idRenameP,
    idFormat;

// Registered at start-up whether or not they are ever shown; write, truncate and rename belong
// to operations this program does not perform, and stay in the table for translations.
void RegisterFileMessages() {
  idFileError = RegisterMessage("File error");
  idCreatingFile = RegisterMessage("Creating file");
  idNew = RegisterMessage("ferrNew", "Cannot create file");
  idOpenRead = RegisterMessage("ferrOpenread", "Cannot open file for read");
  idOpenWrite = RegisterMessage("ferrOpenwrite", "Cannot open file for read/write");
  idDelete = RegisterMessage("ferrDelete", "Cannot delete file");
  idAskReplace = RegisterMessage("AskReplace", "File already exist\n%1\nDo you want to replace it?");
  idSeek = RegisterMessage("ferrSeek", "Cannot seek file");
  idSeekP = RegisterMessage("ferrSeekP", "position %1, file size %2");
  idSeteof = RegisterMessage("ferrSeteof", "Cannot set file size");
  idSeteofP = RegisterMessage("ferrSeteofP", "old size %1, new size %2");
  idRead = RegisterMessage("ferrRead", "Failed read file");
  idReadP = RegisterMessage("ferrReadP", "position %1, file size %2\nread size %3, actual read %4");
  idWrite = RegisterMessage("ferrWrite", "Failed write file");
  idWriteP =
      RegisterMessage("ferrWriteP", "position %1, file size %2\nwrite size %3, actual write %4");
  idRename = RegisterMessage("ferrRename", "Failed rename file");
  idRenameP = RegisterMessage("ferrRenameP", "to new name\n%1");
  idFormat = RegisterMessage("ferrFormat", "Invalid file format");
}

aMessageUnit fileMessages("file", kMessageOrderFile, RegisterFileMessages);

aStrd U64Text(uint64_t value) { return Int64Text(static_cast<int64_t>(value), 0); }

// Appends part on a line of its own after what is there; empty parts are left out.
void AppendPart(aString& text, aStrd part) {
  if (part.IsEmpty()) return;
  if (text.length > 0) text.Append('\n');
  text.Append(part);
}

}  // namespace

aFile::aFile()
    : error(0), name(80, 80), position(0), size(0), isOpen(0), mode(0), windowed(false),
      windowLength(0), windowAt(0), rawPosition(0) {}

aFile::~aFile() { Close(true); }

void aFile::CloseRaw() {}

bool aFile::Flush() { return true; }

aStrd aFile::ErrorText() { return ApiCodeText(error); }

bool aFile::SetSystemError() {
  error = LastSystemError();
  return false;
}

bool aFile::SetFormatError() {
  error = 13;
  return false;
}

bool aFile::Open(aStrd fileName, int32_t openMode) {
  Close(true);
  name.Assign(fileName);
  mode = openMode;
  position = size = 0;
  windowed = !(mode & (kFileCreate | kFileReadWrite | kFileUnbuffered));
  windowLength = 0;
  windowAt = rawPosition = 0;
  // A short read sets no system error: an older one left here would be reported as its cause.
  error = 0;
  if ((mode & kFileCreate) && !(mode & (kFileQuiet | kFileNoAsk)) && FileExists(name.View())) {
    aStrd question = FormatText(MessageText(idAskReplace), name.View());
    if (ShowMessageBox(question, MessageText(idCreatingFile), aStrd(), "Yes|No") != 1) {
      // Left as it was, a delete-on-close bit would remove the very file the operator kept.
      mode &= kFileQuiet;
      return false;
    }
  }
  if (OpenRaw()) {
    isOpen = 1;
    return true;
  }
  mode &= ~kFileDeleteOnClose;
  int32_t id = (mode & kFileCreate) ? idNew : (mode & kFileReadWrite) ? idOpenWrite : idOpenRead;
  return Report(id, aStrd());
}

bool aFile::Read(void* buffer, int32_t count) {
  if (!isOpen) return false;
  int32_t got = 0;
  bool read = count >= 0 && (windowed ? ReadAhead(buffer, count, &got)
                                     : ReadRaw(buffer, count, &got));
  if (read && got == count) {
    position += static_cast<uint64_t>(count);
    return true;
  }
  aStrd detail = FormatText(MessageText(idReadP), U64Text(position), U64Text(size),
                            Int64Text(count, 0), Int64Text(got, 0));
  return Report(idRead, detail);
}

// Reads at position as ReadRaw does (*got short at the end of the file), through the window.
bool aFile::ReadAhead(void* buffer, int32_t count, int32_t* got) {
  if (InWindow(position, count)) {
    if (count > 0) std::memcpy(buffer, window + (position - windowAt), static_cast<size_t>(count));
    *got = count;
    return true;
  }
  if (rawPosition != position) {
    if (!SeekRaw(position)) return false;
    rawPosition = position;
  }
  bool read;
  if (count >= kWindow) {
    read = ReadRaw(buffer, count, got);
    rawPosition += static_cast<uint64_t>(*got);
    return read;
  }
  int32_t filled = 0;
  read = ReadRaw(window, kWindow, &filled);
  rawPosition += static_cast<uint64_t>(filled);
  windowAt = position;
  windowLength = read ? filled : 0;
  *got = filled < count ? filled : count;
  if (*got > 0) std::memcpy(buffer, window, static_cast<size_t>(*got));
  return read;
}

uint32_t aFile::ReadU32() {
  unsigned char b[4];
  if (!Read(b, 4)) return 0;
  return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
         static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
}

bool aFile::Seek(uint64_t to) {
  if (!isOpen) return false;
  position = to;
  // The handle may stay behind: the next read outside the window moves it first.
  if (windowed && InWindow(to, 0)) return true;
  if (SeekRaw(to)) {
    rawPosition = to;
    return true;
  }
  aStrd detail = FormatText(MessageText(idSeekP), U64Text(position), U64Text(size));
  return Report(idSeek, detail);
}

bool aFile::Skip(int64_t count) { return Seek(position + static_cast<uint64_t>(count)); }

bool aFile::Close(bool flush) {
  if (isOpen) {
    if (flush) Flush();
    isOpen = 0;
    CloseRaw();
  }
  if ((mode & kFileDeleteOnClose) && name.length > 0) {
    mode &= ~kFileDeleteOnClose;
    int32_t code = 0;
    if (!RemoveFile(name.View(), &code)) {
      error = code;
      Report(idDelete, aStrd());
    }
  }
  mode &= kFileQuiet;
  return false;
}

bool aFile::FormatError(aStrd detail) {
  SetFormatError();
  return Report(idFormat, detail);
}

bool aFile::Report(int32_t messageId, aStrd detail) {
  if (mode & kFileQuiet) return Close(true);
  // The parts are temporary texts or views of this object: compose before anything else runs.
  aString text(80, 80);
  AppendPart(text, MessageText(messageId));
  AppendPart(text, name.View());
  AppendPart(text, detail);
  AppendPart(text, ErrorText());
  ShowMessageBox(text.View(), MessageText(idFileError), "x", aStrd());
  return Close(true);
}
