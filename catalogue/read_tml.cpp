#include "catalogue/read_tml.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "foundation/Strings.h"

namespace {

const char kHeader[34] = "TimeLine Project (c) Firm Halvern";  // 33 characters and the NUL
const int32_t kShortest = 20;                                 // ms; shorter clips do not play

enum {
  tagProject = 100,
  tagAudioSolo = 109,
  tagAudioMute = 110,
  tagVideoSolo = 111,
  tagVideoMute = 112,
  tagAudioLevel = 124,
  tagMasterLevel = 128,
  tagClip = 400,
  tagStart = 402,
  tagEnd = 403,
  tagSourceIn = 405,
  tagSourceEnd = 406,
  tagVideoTrack = 455,
  tagVideoName = 456,
  tagClipLevel = 457,
  tagAudioName = 461,
  tagAudioTrack = 462,
};

bool ReadInt(aTmlSource& source, int32_t* value) {
  unsigned char b[4];
  if (!source.Read(b, 4)) return false;
  *value = static_cast<int32_t>(static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                                static_cast<uint32_t>(b[2]) << 16 |
                                static_cast<uint32_t>(b[3]) << 24);
  return true;
}

// Walking the list literally is quadratic: for every clip the overlap steps look at every later
// clip, and the audio step scans from the head. These trees over the list positions find the next
// clip a step must look at, so only the clips the literal walk would change are visited, in the
// same order.
class aMinTree {
 public:
  void Init(int32_t n) {
    size = 1;
    while (size < n) size <<= 1;
    node.assign(2 * static_cast<size_t>(size), INT32_MAX);
  }
  void Set(int32_t i, int32_t value) {
    i += size;
    node[i] = value;
    for (i >>= 1; i > 0; i >>= 1) node[i] = std::min(node[2 * i], node[2 * i + 1]);
  }
  // First position >= from whose value is below limit, or -1.
  int32_t FirstBelow(int32_t from, int32_t limit) const {
    if (from >= size) return -1;
    int32_t i = from + size;
    for (;;) {
      if (node[i] < limit) {
        while (i < size) {
          i *= 2;
          if (!(node[i] < limit)) i++;
        }
        return i - size;
      }
      while (i & 1) i >>= 1;
      if (i == 0) return -1;
      i++;
    }
  }

 private:
  int32_t size = 1;
  std::vector<int32_t> node;
};

class aMaxTree {
 public:
  void Init(int32_t n) {
    size = 1;
    while (size < n) size <<= 1;
    node.assign(2 * static_cast<size_t>(size), INT32_MIN);
  }
  void Set(int32_t i, int32_t value) {
    i += size;
    node[i] = value;
    for (i >>= 1; i > 0; i >>= 1) node[i] = std::max(node[2 * i], node[2 * i + 1]);
  }
  // First position >= from whose value is at least limit, or -1.
  int32_t FirstAtLeast(int32_t from, int32_t limit) const {
    if (from >= size) return -1;
    int32_t i = from + size;
    for (;;) {
      if (node[i] >= limit) {
        while (i < size) {
          i *= 2;
          if (!(node[i] >= limit)) i++;
        }
        return i - size;
      }
      while (i & 1) i >>= 1;
      if (i == 0) return -1;
      i++;
    }
  }

 private:
  int32_t size = 1;
  std::vector<int32_t> node;
};

int32_t& TrackOf(Film& f, bool video) { return video ? f.videoTrack : f.audioTrack; }

void Lose(Film& f) {
  f.videoTrack = -1;
  f.audioTrack = -1;
}

int64_t Distance(int32_t a, int32_t b) {
  int64_t d = static_cast<int64_t>(a) - b;
  return d < 0 ? -d : d;
}

}  // namespace

aTmlProject::aTmlProject() : masterLevel(512), head(nullptr), folderLength(0) {
  for (int i = 0; i < kAudioTracks; i++) {
    audioSolo[i] = 0;
    audioMute[i] = 0;
    audioLevel[i] = 512;
  }
  for (int i = 0; i < kVideoTracks; i++) {
    videoSolo[i] = 0;
    videoMute[i] = 0;
  }
  folder[0] = 0;
}

bool aTmlProject::Read(aTmlSource& source, const char* fileName) {
  // Relative clip names are taken from the project's own folder.
  folderLength = 0;
  if (fileName) {
    for (int32_t i = 0; i < kMaxName && fileName[i]; i++)
      if (fileName[i] == '\\' || fileName[i] == '/') folderLength = i + 1;
    std::memcpy(folder, fileName, static_cast<size_t>(folderLength));
  }
  folder[folderLength] = 0;

  char header[sizeof kHeader];
  if (!source.Read(header, sizeof header) || std::memcmp(header, kHeader, sizeof header) != 0)
    return false;
  for (;;) {
    int32_t tag, size;
    if (!ReadInt(source, &tag) || !ReadInt(source, &size) || size < 0) return false;
    if (tag == tagProject) {
      if (!ReadProject(source, size)) return false;
      break;
    }
    if (!source.Skip(size)) return false;
  }
  LinkInStartOrder();
  return true;
}

bool aTmlProject::ReadProject(aTmlSource& source, int32_t size) {
  // Sub-records are read while the block has bytes left; one that runs past the block's end is
  // read all the same.
  int64_t remaining = size;
  while (remaining > 0) {
    int32_t tag, count;
    if (!ReadInt(source, &tag) || !ReadInt(source, &count) || count < 0) return false;
    remaining -= 8 + static_cast<int64_t>(count);
    int32_t* table = nullptr;
    int32_t cap = 0;
    switch (tag) {
      case tagAudioSolo: table = audioSolo, cap = kAudioTracks * 4; break;
      case tagAudioMute: table = audioMute, cap = kAudioTracks * 4; break;
      case tagVideoSolo: table = videoSolo, cap = kVideoTracks * 4; break;
      case tagVideoMute: table = videoMute, cap = kVideoTracks * 4; break;
      case tagAudioLevel: table = audioLevel, cap = kAudioTracks * 4; break;
      default: break;
    }
    if (table) {
      int32_t n = std::min(count, cap);
      unsigned char bytes[kAudioTracks * 4];
      if (!source.Read(bytes, n)) return false;
      for (int32_t i = 0; i < n / 4; i++)
        table[i] = static_cast<int32_t>(
            static_cast<uint32_t>(bytes[4 * i]) | static_cast<uint32_t>(bytes[4 * i + 1]) << 8 |
            static_cast<uint32_t>(bytes[4 * i + 2]) << 16 |
            static_cast<uint32_t>(bytes[4 * i + 3]) << 24);
      if (!source.Skip(count - n)) return false;
    } else if (tag == tagMasterLevel && count <= 4) {
      unsigned char bytes[4] = {0, 0, 0, 0};
      if (!source.Read(bytes, count)) return false;
      masterLevel = static_cast<int32_t>(
          static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
          static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24);
    } else if (tag == tagClip) {
      if (!ReadClip(source, count)) return false;
    } else if (!source.Skip(count)) {
      return false;
    }
  }
  return true;
}

bool aTmlProject::ReadClip(aTmlSource& source, int32_t size) {
  Film film;
  char name[kMaxName + 1];
  int32_t nameLength = 0;
  bool videoMark = false, audioMark = false;
  int64_t remaining = size;
  while (remaining > 0) {
    int32_t tag, count;
    if (!ReadInt(source, &tag) || !ReadInt(source, &count) || count < 0) return false;
    remaining -= 8 + static_cast<int64_t>(count);
    switch (tag) {
      case tagStart:
      case tagEnd:
      case tagSourceIn:
      case tagSourceEnd:
      case tagVideoTrack:
      case tagClipLevel:
      case tagAudioTrack: {
        int32_t value;
        if (count != 4 || !ReadInt(source, &value)) return false;
        bool time = tag == tagStart || tag == tagEnd || tag == tagSourceIn || tag == tagSourceEnd;
        if (time && (value < 0 || value > kMaxTime)) return false;
        if (tag == tagStart) film.start = value;
        if (tag == tagEnd) film.end = value;
        if (tag == tagSourceIn) film.sourceIn = value;
        if (tag == tagVideoTrack) film.videoTrack = value;
        if (tag == tagAudioTrack) film.audioTrack = value;
        break;
      }
      case tagVideoName:
      case tagAudioName: {
        if (count > kMaxName) return false;
        char raw[kMaxName];
        if (!source.Read(raw, count)) return false;
        int32_t rawLength = 0;
        while (rawLength < count && raw[rawLength]) rawLength++;
        char resolved[kMaxName + 1];
        int32_t resolvedLength = 0;
        if (rawLength < 2 || raw[1] != ':') {
          std::memcpy(resolved, folder, static_cast<size_t>(folderLength));
          resolvedLength = folderLength;
        }
        int32_t take = std::min(rawLength, kMaxName - resolvedLength);
        std::memcpy(resolved + resolvedLength, raw, static_cast<size_t>(take));
        resolvedLength += take;
        bool same = aStrd(name, nameLength).EqualsNoCase(aStrd(resolved, resolvedLength));
        if (tag == tagVideoName) {
          if (nameLength > 0 && !same) audioMark = false;
          std::memcpy(name, resolved, static_cast<size_t>(resolvedLength));
          nameLength = resolvedLength;
          videoMark = true;
        } else if (nameLength == 0) {
          std::memcpy(name, resolved, static_cast<size_t>(resolvedLength));
          nameLength = resolvedLength;
          audioMark = true;
        } else if (same) {
          audioMark = true;
        }
        break;
      }
      default:
        if (!source.Skip(count)) return false;
        break;
    }
  }
  if (!videoMark)
    film.videoTrack = -1;
  else if (film.videoTrack < 0)
    film.videoTrack = 0;
  if (!audioMark)
    film.audioTrack = -1;
  else if (film.audioTrack < 0)
    film.audioTrack = 0;
  film.sourceOut = film.sourceIn + film.end - film.start;
  if (film.end - film.start < kShortest) Lose(film);
  film.nameAt = static_cast<int32_t>(names.size());
  film.nameLength = nameLength;
  names.insert(names.end(), name, name + nameLength);
  films.push_back(film);
  return true;
}

void aTmlProject::LinkInStartOrder() {
  // A clip goes before the first clip whose start is not below its own: equal starts keep the
  // later-read clip first.
  std::vector<int32_t> order(films.size());
  for (size_t i = 0; i < order.size(); i++) order[i] = static_cast<int32_t>(i);
  std::sort(order.begin(), order.end(), [this](int32_t a, int32_t b) {
    if (films[a].start != films[b].start) return films[a].start < films[b].start;
    return a > b;
  });
  head = nullptr;
  for (size_t i = order.size(); i-- > 0;) {
    films[order[i]].next = head;
    head = &films[order[i]];
  }
}

bool aTmlProject::SameName(const Film& a, const Film& b) const {
  return aStrd(names.data() + a.nameAt, a.nameLength)
      .EqualsNoCase(aStrd(names.data() + b.nameAt, b.nameLength));
}

void aTmlProject::Normalise() {
  bool anySolo = false;
  for (int i = 0; i < kAudioTracks; i++) anySolo = anySolo || audioSolo[i] != 0;
  for (int i = 0; i < kVideoTracks; i++) anySolo = anySolo || videoSolo[i] != 0;
  for (Film& f : films) {
    if (f.videoTrack >= kVideoTracks ||
        (f.videoTrack >= 0 && (anySolo ? videoSolo[f.videoTrack] == 0
                                       : videoMute[f.videoTrack] != 0)))
      f.videoTrack = -1;
    if (f.audioTrack >= kAudioTracks ||
        (f.audioTrack >= 0 &&
         ((anySolo ? audioSolo[f.audioTrack] == 0 : audioMute[f.audioTrack] != 0) ||
          audioLevel[f.audioTrack] == 0)))
      f.audioTrack = -1;
  }
  ResolveOverlaps(true);
  AudioUnderVideo();
  ResolveOverlaps(false);
}

void aTmlProject::ResolveOverlaps(bool video) {
  std::vector<Film*> list;
  list.reserve(films.size());
  for (Film* f = head; f; f = f->next) list.push_back(f);
  int32_t n = static_cast<int32_t>(list.size());
  // Start of every clip on a track of this kind, by list position.
  aMinTree starts;
  starts.Init(n);
  for (int32_t i = 0; i < n; i++)
    if (TrackOf(*list[i], video) >= 0) starts.Set(i, list[i]->start);

  for (int32_t i = 0; i < n; i++) {
    Film& a = *list[i];
    if (TrackOf(a, video) < 0) continue;
    // Every later clip of this kind that starts before A ends, in list order.
    for (int32_t j = starts.FirstBelow(i + 1, a.end); j >= 0; j = starts.FirstBelow(j + 1, a.end)) {
      Film& b = *list[j];
      if (TrackOf(b, video) < TrackOf(a, video) && (video || a.videoTrack < 0)) {
        a.sourceOut -= a.end - b.start;
        a.end = b.start;
        if (a.end - a.start < kShortest) {
          Lose(a);
          starts.Set(i, INT32_MAX);
          break;
        }
      } else {
        b.sourceIn += a.end - b.start;
        b.start = a.end;
        if (b.end - b.start < kShortest) {
          Lose(b);
          starts.Set(j, INT32_MAX);
        } else {
          starts.Set(j, b.start);
        }
      }
    }
  }
}

void aTmlProject::AudioUnderVideo() {
  std::vector<Film*> list;
  list.reserve(films.size());
  for (Film* f = head; f; f = f->next) list.push_back(f);
  int32_t n = static_cast<int32_t>(list.size());
  // Start and end of every clip that has an audio track, by list position. A clip on an audio
  // track always lasts at least the shortest time, so the first one that starts at or after a
  // video clip's end is also past its start: that is where the scan from the head stops.
  aMaxTree starts, ends;
  starts.Init(n);
  ends.Init(n);
  for (int32_t i = 0; i < n; i++)
    if (list[i]->audioTrack >= 0) {
      starts.Set(i, list[i]->start);
      ends.Set(i, list[i]->end);
    }

  for (int32_t i = 0; i < n; i++) {
    Film& a = *list[i];
    if (a.videoTrack < 0) continue;
    int32_t stop = starts.FirstAtLeast(0, a.end);
    if (stop < 0) stop = n;
    // The clips met are those with an audio track that end after A starts, before the stop.
    for (int32_t j = ends.FirstAtLeast(0, a.start + 1);
         j >= 0 && j < stop; j = ends.FirstAtLeast(j + 1, a.start + 1)) {
      Film& b = *list[j];
      if (&b != &a && a.audioTrack < 0 && SameName(a, b) && Distance(a.start, b.start) < kShortest &&
          Distance(a.end, b.end) < kShortest && Distance(a.sourceIn, b.sourceIn) < kShortest &&
          Distance(a.sourceOut, b.sourceOut) < kShortest) {
        a.audioTrack = b.audioTrack;
        starts.Set(i, a.start);
        ends.Set(i, a.end);
      }
      b.audioTrack = -1;
      starts.Set(j, INT32_MIN);
      ends.Set(j, INT32_MIN);
    }
  }
}

bool aTmlProject::Duration(double* seconds, bool* hasVideo) const {
  const Film* first = nullptr;
  const Film* last = nullptr;
  bool video = false;
  for (const Film* f = head; f; f = f->next) {
    if (f->videoTrack < 0 && f->audioTrack < 0) continue;
    if (!first) first = f;
    last = f;
    video = video || f->videoTrack >= 0;
  }
  if (!first) return false;
  *seconds = last->end * 0.001 - first->start * 0.001;
  *hasVideo = video;
  return true;
}

bool ReadTmlDuration(aTmlSource& source, const char* fileName, double* seconds, bool* hasVideo) {
  *seconds = 0;
  *hasVideo = false;
  aTmlProject project;
  if (!project.Read(source, fileName)) return false;
  project.Normalise();
  if (!project.Duration(seconds, hasVideo)) return false;
  return *seconds > 0;
}
