#pragma once
// Duration of a TimeLine project: the clip list read from the project block, its overlaps resolved
// the way the timeline plays them, and the time from the first clip that plays to the end of the
// last one.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

// One clip of the project.
class Film {
 public:
  Film* next;          // the clip list, ordered by start as read
  int32_t nameAt;      // resolved source file name (at most 260 bytes) in the project's name pool
  int32_t nameLength;
  int32_t start;       // timeline position, milliseconds
  int32_t end;
  int32_t sourceIn;    // position within the source file
  int32_t sourceOut;
  int32_t videoTrack;  // -1: not on a video track
  int32_t audioTrack;  // -1: not on an audio track

  Film()
      : next(nullptr), nameAt(0), nameLength(0), start(0), end(0), sourceIn(0), sourceOut(0),
        videoTrack(-1), audioTrack(-1) {}
};

// Where the project's bytes come from: the platform's buffered file, or memory. Bytes already in
// the source's window are taken inline; the rest goes through the platform.
class aTmlSource {
 public:
  // Exactly count bytes, else false.
  bool Read(void* buffer, int32_t count) {
    if (count >= 0 && end - next >= count) {
      if (count > 0) std::memcpy(buffer, next, static_cast<size_t>(count));
      next += count;
      return true;
    }
    return ReadOutside(buffer, count);
  }
  // Forward; past the end is allowed (the next read fails).
  bool Skip(int32_t count) {
    if (count >= 0 && end - next >= count) {
      next += count;
      return true;
    }
    return SkipOutside(count);
  }

 protected:
  aTmlSource() : next(nullptr), end(nullptr) {}
  ~aTmlSource() {}
  virtual bool ReadOutside(void* buffer, int32_t count) = 0;
  virtual bool SkipOutside(int32_t count) = 0;

  const unsigned char* next;  // the window of bytes at hand
  const unsigned char* end;
};

// A project held in memory.
class aTmlMemory : public aTmlSource {
 public:
  aTmlMemory(const void* bytes, size_t size) {
    next = static_cast<const unsigned char*>(bytes);
    end = next + (bytes ? size : 0);
  }

 protected:
  bool ReadOutside(void*, int32_t) override { return false; }
  bool SkipOutside(int32_t count) override {
    next = end;  // beyond the end: nothing more can be read
    return count >= 0;
  }
};

// A project's clip table and track switches, read and then normalised.
class aTmlProject {
 public:
  static const int kVideoTracks = 2;
  static const int kAudioTracks = 32;
  static const int32_t kMaxTime = 86400000;  // 24 hours
  static const int kMaxName = 260;

  std::vector<Film> films;       // in the order the file gives them
  std::vector<char> names;       // name pool
  int32_t audioSolo[kAudioTracks];
  int32_t audioMute[kAudioTracks];
  int32_t videoSolo[kVideoTracks];
  int32_t videoMute[kVideoTracks];
  int32_t audioLevel[kAudioTracks];
  int32_t masterLevel;
  Film* head;                    // the clip list after Read

  aTmlProject();

  // Reads the header and the project block. fileName gives the folder for relative clip names.
  bool Read(aTmlSource& source, const char* fileName);
  // Switches tracks off, resolves video overlaps, audio under video and audio overlaps.
  void Normalise();
  // After Normalise: false when no clip is active.
  bool Duration(double* seconds, bool* hasVideo) const;

 private:
  bool ReadProject(aTmlSource& source, int32_t size);
  bool ReadClip(aTmlSource& source, int32_t size);
  void LinkInStartOrder();
  bool SameName(const Film& a, const Film& b) const;
  void ResolveOverlaps(bool video);
  void AudioUnderVideo();

  char folder[kMaxName + 1];
  int32_t folderLength;
};

// Reads the project through the platform's buffered, deny-write file access. true when
// *seconds > 0; *seconds and *hasVideo are 0 and false first.
bool ReadTmlDuration(const char* fileName, double* seconds, bool* hasVideo);

// The same over any source (tests, fuzzing).
bool ReadTmlDuration(aTmlSource& source, const char* fileName, double* seconds, bool* hasVideo);
