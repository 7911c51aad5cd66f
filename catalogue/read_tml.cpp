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
// clip, and the audio step scans from the head. The trees below, over list positions, give the
// same results in n log n for the work the literal walk does.
// The clips of one track of the overlap step, by list position: their starts, with raises to a
// value applied lazily to whole stretches of the list, and their ends, so that the clips a raise
// leaves shorter than the shortest time are found without visiting the others.
class aRaiseTree {
 public:
  void Init(const std::vector<int32_t>& starts, const std::vector<int32_t>& ends) {
    n = static_cast<int32_t>(starts.size());
    size = 1;
    while (size < n) size <<= 1;
    minStart.assign(2 * static_cast<size_t>(size), INT32_MAX);
    minEnd.assign(2 * static_cast<size_t>(size), INT32_MAX);
    tag.assign(static_cast<size_t>(size), INT32_MIN);
    for (int32_t i = 0; i < n; i++) {
      minStart[size + i] = starts[i];
      minEnd[size + i] = ends[i] - kShortest;
    }
    for (int32_t i = size - 1; i > 0; i--) Pull(i);
  }
  int32_t Count() const { return n; }
  int32_t LowestStart() const { return minStart[1]; }

  // Every clip of [from, to) that starts before v starts at v; those that end less than the
  // shortest time after v leave the tree and are reported.
  void Raise(int32_t from, int32_t to, int32_t v, std::vector<int32_t>* dying) {
    if (from < to) Raise(1, 0, size, from, to, v, dying);
  }
  // First clip at from or later that starts before limit, or -1.
  int32_t FirstBelow(int32_t from, int32_t limit) {
    return from < n ? FirstBelow(1, 0, size, from, limit) : -1;
  }
  int32_t StartAt(int32_t i) {
    int32_t node = 1, lo = 0, hi = size;
    while (node < size) {
      Push(node);
      int32_t mid = (lo + hi) / 2;
      if (i < mid) {
        node = 2 * node;
        hi = mid;
      } else {
        node = 2 * node + 1;
        lo = mid;
      }
    }
    return minStart[node];
  }
  void Remove(int32_t i) {
    StartAt(i);  // pending raises reach the leaf first
    int32_t node = size + i;
    minStart[node] = minEnd[node] = INT32_MAX;
    for (node >>= 1; node > 0; node >>= 1) Pull(node);
  }

 private:
  void Apply(int32_t node, int32_t v) {
    if (minStart[node] < v) minStart[node] = v;
    if (node < size && tag[node] < v) tag[node] = v;
  }
  void Push(int32_t node) {
    if (tag[node] == INT32_MIN) return;
    Apply(2 * node, tag[node]);
    Apply(2 * node + 1, tag[node]);
    tag[node] = INT32_MIN;
  }
  void Pull(int32_t node) {
    minStart[node] = std::min(minStart[2 * node], minStart[2 * node + 1]);
    minEnd[node] = std::min(minEnd[2 * node], minEnd[2 * node + 1]);
  }
  void Raise(int32_t node, int32_t lo, int32_t hi, int32_t from, int32_t to, int32_t v,
             std::vector<int32_t>* dying) {
    // Nothing starts before v here: the raise changes nothing.
    if (to <= lo || hi <= from || minStart[node] >= v) return;
    // A clip on a track lasts at least the shortest time, so one that starts at or after v also
    // ends at least that long after it: only clips ending too early can die.
    if (from <= lo && hi <= to && minEnd[node] >= v) {
      Apply(node, v);
      return;
    }
    if (node >= size) {
      dying->push_back(node - size);
      minStart[node] = minEnd[node] = INT32_MAX;
      return;
    }
    Push(node);
    int32_t mid = (lo + hi) / 2;
    Raise(2 * node, lo, mid, from, to, v, dying);
    Raise(2 * node + 1, mid, hi, from, to, v, dying);
    Pull(node);
  }
  int32_t FirstBelow(int32_t node, int32_t lo, int32_t hi, int32_t from, int32_t limit) {
    if (hi <= from || minStart[node] >= limit) return -1;
    if (node >= size) return node - size;
    Push(node);
    int32_t mid = (lo + hi) / 2;
    int32_t r = FirstBelow(2 * node, lo, mid, from, limit);
    return r >= 0 ? r : FirstBelow(2 * node + 1, mid, hi, from, limit);
  }

  int32_t n = 0;
  int32_t size = 1;
  std::vector<int32_t> minStart, minEnd, tag;
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
  // Room for the clips a block of this size usually holds, without trusting the size too far.
  films.reserve(static_cast<size_t>(std::min<int32_t>(size / 64, 1 << 21)));
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
  // For each clip A on a track of this kind, in list order, every later clip B on such a track
  // that starts before A ends: B on a lower track cuts A's end back to its start (for audio only
  // when A has no video), any other B is cut to start where A ends. Walking B by B is quadratic;
  // here the clips that would cut A are found in the lower tracks' trees, and the cuts of B are
  // raises of whole stretches of the higher tracks' trees between them. A clip left shorter than
  // the shortest time loses both its tracks at the moment the literal walk would drop it.
  const int tracks = video ? kVideoTracks : kAudioTracks;
  std::vector<Film*> list;
  list.reserve(films.size());
  for (Film* f = head; f; f = f->next) list.push_back(f);
  const int32_t n = static_cast<int32_t>(list.size());

  std::vector<std::vector<int32_t>> positions(static_cast<size_t>(tracks));
  std::vector<int32_t> rank(static_cast<size_t>(n), -1);
  for (int32_t i = 0; i < n; i++) {
    int32_t t = TrackOf(*list[i], video);
    if (t < 0) continue;
    rank[i] = static_cast<int32_t>(positions[t].size());
    positions[t].push_back(i);
  }
  std::vector<aRaiseTree> trees(static_cast<size_t>(tracks));
  std::vector<int> used;  // tracks that hold clips
  for (int t = 0; t < tracks; t++) {
    if (positions[t].empty()) continue;
    std::vector<int32_t> starts, ends;
    for (int32_t i : positions[t]) {
      starts.push_back(list[i]->start);
      ends.push_back(list[i]->end);
    }
    trees[t].Init(starts, ends);
    used.push_back(t);
  }
  // First rank of track t after list position p.
  auto after = [&](int t, int32_t p) {
    return static_cast<int32_t>(std::upper_bound(positions[t].begin(), positions[t].end(), p) -
                                positions[t].begin());
  };
  std::vector<int32_t> dying;
  // Raise track t's clips between list positions p and q (both excluded) to v.
  auto raise = [&](int t, int32_t p, int32_t q, int32_t v) {
    if (trees[t].LowestStart() >= v) return;  // every clip still to come starts later
    int32_t from = after(t, p);
    int32_t to = q >= n ? trees[t].Count() : after(t, q - 1);
    dying.clear();
    trees[t].Raise(from, to, v, &dying);
    for (int32_t r : dying) {
      Film& b = *list[positions[t][r]];
      b.sourceIn += v - b.start;
      b.start = v;
      Lose(b);
    }
  };

  for (int32_t i = 0; i < n; i++) {
    Film& a = *list[i];
    const int t = TrackOf(a, video);
    if (t < 0) continue;
    // Its start as the earlier clips left it; nothing after it changes it any more, so it leaves
    // the tree, which then holds only the clips still to come.
    int32_t start = trees[t].StartAt(rank[i]);
    trees[t].Remove(rank[i]);
    a.sourceIn += start - a.start;
    a.start = start;
    const bool canBeCut = video || a.videoTrack < 0;
    int32_t p = i;
    for (;;) {
      // The next clip on a lower track that starts before A ends.
      int32_t q = n;
      if (canBeCut)
        for (int u : used) {
          if (u >= t) break;
          if (trees[u].LowestStart() >= a.end) continue;
          int32_t r = trees[u].FirstBelow(after(u, p), a.end);
          if (r >= 0 && positions[u][r] < q) q = positions[u][r];
        }
      for (int u : used)
        if (!canBeCut || u >= t) raise(u, p, q, a.end);
      if (q >= n) break;
      int32_t cut = trees[TrackOf(*list[q], video)].StartAt(rank[q]);
      a.sourceOut -= a.end - cut;
      a.end = cut;
      if (a.end - a.start < kShortest) {
        Lose(a);
        break;
      }
      p = q;
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
