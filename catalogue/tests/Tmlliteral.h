#pragma once
// The timeline normalisation written the plain, quadratic way: clips inserted one by one into a
// sorted linked list, every overlap step walking the list. The reader must give exactly its
// results; the tests compare the two on many generated projects.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "catalogue/read_tml.h"

struct LiteralClip {
  LiteralClip* next = nullptr;
  std::string name;
  int32_t start, end, sourceIn, sourceOut, videoTrack, audioTrack;
  size_t index;  // position in file order
};

struct LiteralResult {
  bool active = false;  // some clip still plays
  double seconds = 0;
  bool hasVideo = false;
  std::vector<LiteralClip> clips;  // final state, in file order
};

inline bool LiteralSameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); i++) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

// project: read but not normalised.
inline LiteralResult LiteralNormalise(const aTmlProject& project) {
  LiteralResult r;
  r.clips.resize(project.films.size());
  LiteralClip* head = nullptr;
  for (size_t i = 0; i < project.films.size(); i++) {
    const Film& f = project.films[i];
    LiteralClip& c = r.clips[i];
    c.name.assign(project.names.data() + f.nameAt, static_cast<size_t>(f.nameLength));
    c.start = f.start;
    c.end = f.end;
    c.sourceIn = f.sourceIn;
    c.sourceOut = f.sourceOut;
    c.videoTrack = f.videoTrack;
    c.audioTrack = f.audioTrack;
    c.index = i;
    LiteralClip** at = &head;
    while (*at && (*at)->start < c.start) at = &(*at)->next;
    c.next = *at;
    *at = &c;
  }

  bool solo = false;
  for (int i = 0; i < aTmlProject::kAudioTracks; i++) solo |= project.audioSolo[i] != 0;
  for (int i = 0; i < aTmlProject::kVideoTracks; i++) solo |= project.videoSolo[i] != 0;
  for (LiteralClip* c = head; c; c = c->next) {
    int v = c->videoTrack;
    if (v >= 0) {
      bool on = v < aTmlProject::kVideoTracks &&
                (solo ? project.videoSolo[v] != 0 : project.videoMute[v] == 0);
      if (!on) c->videoTrack = -1;
    }
    int a = c->audioTrack;
    if (a >= 0) {
      bool on = a < aTmlProject::kAudioTracks &&
                (solo ? project.audioSolo[a] != 0 : project.audioMute[a] == 0) &&
                project.audioLevel[a] != 0;
      if (!on) c->audioTrack = -1;
    }
  }

  for (LiteralClip* a = head; a; a = a->next) {
    if (a->videoTrack < 0) continue;
    for (LiteralClip* b = a->next; b; b = b->next) {
      if (b->videoTrack < 0 || b->start >= a->end) continue;
      if (b->videoTrack < a->videoTrack) {
        a->sourceOut -= a->end - b->start;
        a->end = b->start;
        if (a->end - a->start < 20) {
          a->videoTrack = a->audioTrack = -1;
          break;
        }
      } else {
        b->sourceIn += a->end - b->start;
        b->start = a->end;
        if (b->end - b->start < 20) b->videoTrack = b->audioTrack = -1;
      }
    }
  }

  for (LiteralClip* a = head; a; a = a->next) {
    if (a->videoTrack < 0) continue;
    for (LiteralClip* b = head; b; b = b->next) {
      if (b->audioTrack < 0) continue;
      if (b->end <= a->start) continue;
      if (b->start >= a->end) break;
      if (a->audioTrack < 0 && LiteralSameName(b->name, a->name) &&
          std::abs(b->start - a->start) < 20 && std::abs(b->end - a->end) < 20 &&
          std::abs(b->sourceIn - a->sourceIn) < 20 && std::abs(b->sourceOut - a->sourceOut) < 20)
        a->audioTrack = b->audioTrack;
      b->audioTrack = -1;
    }
  }

  for (LiteralClip* a = head; a; a = a->next) {
    if (a->audioTrack < 0) continue;
    for (LiteralClip* b = a->next; b; b = b->next) {
      if (b->audioTrack < 0 || b->start >= a->end) continue;
      if (b->audioTrack < a->audioTrack && a->videoTrack < 0) {
        a->sourceOut -= a->end - b->start;
        a->end = b->start;
        if (a->end - a->start < 20) {
          a->videoTrack = a->audioTrack = -1;
          break;
        }
      } else {
        b->sourceIn += a->end - b->start;
        b->start = a->end;
        if (b->end - b->start < 20) b->videoTrack = b->audioTrack = -1;
      }
    }
  }

  LiteralClip* first = nullptr;
  LiteralClip* last = nullptr;
  for (LiteralClip* c = head; c; c = c->next) {
    if (c->videoTrack < 0 && c->audioTrack < 0) continue;
    if (!first) first = c;
    last = c;
    if (c->videoTrack >= 0) r.hasVideo = true;
  }
  if (first) {
    r.active = true;
    r.seconds = last->end * 0.001 - first->start * 0.001;
  }
  return r;
}
