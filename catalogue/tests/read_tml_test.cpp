#include "catalogue/read_tml.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "catalogue/tests/Tmlliteral.h"
#include "catalogue/tests/Tmlwriter.h"
#include "catalogue/tests/Testdir.h"

namespace {

struct Outcome {
  bool ok;
  double seconds;
  bool hasVideo;
};

Outcome ReadBytes(const std::vector<uint8_t>& bytes, const char* name = "D:\\proj\\x.tml") {
  aTmlMemory source(bytes.data(), bytes.size());
  Outcome o{false, -5, true};
  o.ok = ReadTmlDuration(source, name, &o.seconds, &o.hasVideo);
  return o;
}

TmlClip Video(int32_t start, int32_t end, int32_t track, const char* name = "v.avi") {
  TmlClip c;
  c.start = start;
  c.end = end;
  c.videoTrack = track;
  c.video = name;
  return c;
}

TmlClip Audio(int32_t start, int32_t end, int32_t track, const char* name = "a.wav") {
  TmlClip c;
  c.start = start;
  c.end = end;
  c.audioTrack = track;
  c.audio = name;
  return c;
}

TEST(ReadTml, TimelineCases) {
  struct Case {
    const char* what;
    TmlProjectTable table;
    bool ok;
    double seconds;
    bool hasVideo;
  };
  TmlProjectTable soloVideo1;
  soloVideo1.videoSolo = {0, 1};
  soloVideo1.clips = {Video(0, 30000, 0), Video(1000, 5000, 1), Audio(0, 40000, 0)};
  TmlProjectTable mutedTrack0;
  mutedTrack0.videoMute = {1};
  mutedTrack0.clips = {Video(0, 30000, 0), Video(1000, 5000, 1)};
  TmlProjectTable levelZero;
  levelZero.audioLevel = {0, 512};
  levelZero.clips = {Audio(0, 9000, 0), Audio(0, 4000, 1)};
  std::vector<Case> cases = {
      {"track 0 wins, track 1 starts where it ends", {{}, {}, {}, {}, {}, {Video(0, 10000, 0), Video(5000, 15000, 1)}}, true, 15.0, true},
      {"track 1 earlier is cut where track 0 starts", {{}, {}, {}, {}, {}, {Video(0, 10000, 1), Video(5000, 15000, 0)}}, true, 15.0, true},
      {"audio only: positive but no video", {{}, {}, {}, {}, {}, {Audio(2000, 7000, 0), Audio(1000, 3000, 3)}}, true, 6.0, false},
      {"15 ms clip ignored", {{}, {}, {}, {}, {}, {Video(1000, 1015, 0)}}, false, 0, false},
      {"20 ms clip counts", {{}, {}, {}, {}, {}, {Video(1000, 1020, 0)}}, true, 1020 * 0.001 - 1000 * 0.001, true},
      {"audio under video does not extend", {{}, {}, {}, {}, {}, {Video(0, 10000, 0), Audio(5000, 20000, 0)}}, true, 10.0, true},
      {"audio before video starts the span", {{}, {}, {}, {}, {}, {Audio(0, 3000, 0), Video(4000, 10000, 0)}}, true, 10.0, true},
      {"video solo on track 1 only", soloVideo1, true, 4.0, true},
      {"muted video track", mutedTrack0, true, 4.0, true},
      {"audio track at level 0 is off", levelZero, true, 4.0, false},
      {"track index outside the table", {{}, {}, {}, {}, {}, {Video(0, 5000, 2), Audio(0, 5000, 32)}}, false, 0, false},
      {"no clips", {}, false, 0, false},
      {"a clip under a lower track is cut where it starts", {{}, {}, {}, {}, {}, {Video(0, 50000, 1), Video(10000, 20000, 0)}}, true, 20.0, true},
  };
  for (const Case& c : cases) {
    Outcome o = ReadBytes(c.table.Build());
    EXPECT_EQ(c.ok, o.ok) << c.what;
    EXPECT_DOUBLE_EQ(c.seconds, o.seconds) << c.what;
    EXPECT_EQ(c.hasVideo, o.hasVideo) << c.what;
  }
}

TEST(ReadTml, SeparateAudioJoinsItsVideoClip) {
  // The audio of a video clip stored as its own clip: within 20 ms it becomes the video clip's
  // audio; further off it is dropped as audio under video.
  TmlProjectTable t;
  t.clips = {Video(1000, 9000, 0, "take.avi"), Audio(1010, 9015, 2, "TAKE.AVI"),
             Video(20000, 30000, 0, "take.avi"), Audio(20000, 30030, 1, "take.avi")};
  std::vector<uint8_t> bytes = t.Build();
  aTmlMemory source(bytes.data(), bytes.size());
  aTmlProject p;
  ASSERT_TRUE(p.Read(source, "x.tml"));
  p.Normalise();
  EXPECT_EQ(2, p.films[0].audioTrack);
  EXPECT_EQ(-1, p.films[1].audioTrack);
  EXPECT_EQ(-1, p.films[2].audioTrack);
  EXPECT_EQ(-1, p.films[3].audioTrack);
}

TEST(ReadTml, ClipNamesResolveAgainstTheProjectFolder) {
  struct Case {
    const char* project;
    const char* clip;
    std::string resolved;
  };
  std::string n258(258, 'n');
  std::vector<Case> cases = {
      {"D:\\proj\\x.tml", "clips\\a.avi", "D:\\proj\\clips\\a.avi"},
      {"D:\\proj\\x.tml", "E:\\a.avi", "E:\\a.avi"},
      {"/media/proj/x.tml", "a.avi", "/media/proj/a.avi"},
      {"x.tml", "a.avi", "a.avi"},
      {"D:\\proj\\x.tml", n258.c_str(), ("D:\\proj\\" + n258).substr(0, 260)},
  };
  for (const Case& c : cases) {
    TmlProjectTable t;
    t.clips = {Video(0, 1000, 0, c.clip)};
    std::vector<uint8_t> bytes = t.Build();
    aTmlMemory source(bytes.data(), bytes.size());
    aTmlProject p;
    ASSERT_TRUE(p.Read(source, c.project)) << c.clip;
    ASSERT_EQ(1u, p.films.size());
    EXPECT_EQ(c.resolved, std::string(p.names.data() + p.films[0].nameAt,
                                      static_cast<size_t>(p.films[0].nameLength)));
  }
}

TEST(ReadTml, AudioNameMarksTheClipOnlyWhenItMatches) {
  struct Case {
    std::vector<std::pair<int32_t, std::string>> names;  // tag, name in file order
    int32_t video, audio;                                // tracks after reading
  };
  std::vector<Case> cases = {
      {{{456, "a.avi"}, {461, "A.AVI"}}, 0, 0},
      {{{456, "a.avi"}, {461, "b.avi"}}, 0, -1},
      {{{461, "b.avi"}, {456, "a.avi"}}, 0, -1},  // a different video name clears the audio mark
      {{{461, "a.avi"}, {456, "a.AVI"}}, 0, 0},
      {{{461, "a.avi"}}, -1, 0},
  };
  for (const Case& c : cases) {
    TmlBytes clip;
    clip.Value(402, 0).Value(403, 5000);
    for (auto& n : c.names) clip.Name(n.first, n.second);
    TmlBytes file;
    file.Header().Record(100, TmlBytes().Record(400, clip.bytes).bytes);
    aTmlMemory source(file.bytes.data(), file.bytes.size());
    aTmlProject p;
    ASSERT_TRUE(p.Read(source, "x.tml"));
    EXPECT_EQ(c.video, p.films[0].videoTrack);
    EXPECT_EQ(c.audio, p.films[0].audioTrack);
  }
}

// A valid project with one clip, its parts separately so a case can spoil one of them.
std::vector<uint8_t> OneClipFile(const std::vector<uint8_t>& clipExtra,
                                 const std::vector<uint8_t>& projectExtra = {},
                                 const std::vector<uint8_t>& before = {}) {
  TmlBytes clip;
  clip.Value(402, 1000).Value(403, 6000).Value(455, 0).Name(456, "a.avi").Raw(clipExtra);
  TmlBytes project;
  project.Raw(projectExtra).Record(400, clip.bytes);
  TmlBytes file;
  file.Header().Raw(before).Record(100, project.bytes);
  return file.bytes;
}

TEST(ReadTml, BadFilesAreRejected) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    bool ok;
  };
  std::vector<uint8_t> valid = OneClipFile({});
  std::vector<uint8_t> lowerHeader = valid;
  lowerHeader[0] = 't';
  std::vector<uint8_t> noNul = valid;
  noNul[33] = ' ';
  std::string n260(260, 'n'), n261(261, 'n');
  std::vector<uint8_t> name260(n260.begin(), n260.end()), name261(n261.begin(), n261.end());
  std::vector<Case> cases = {
      {"valid", valid, true},
      {"header in other letter case", lowerHeader, false},
      {"header without its NUL", noNul, false},
      {"no project block", TmlBytes().Header().Record(7, {1, 2}).bytes, false},
      {"only the header", TmlBytes().Header().bytes, false},
      {"empty", {}, false},
      {"negative size before the block", OneClipFile({}, {}, TmlBytes().Int(7).Int(-1).bytes), false},
      {"size near 2^31 before the block", OneClipFile({}, {}, TmlBytes().Int(7).Int(0x7fffffff).bytes), false},
      {"negative project sub-record", OneClipFile({}, TmlBytes().Int(999).Int(-4).bytes), false},
      {"negative clip sub-record", OneClipFile(TmlBytes().Int(999).Int(INT32_MIN).bytes), false},
      // Skipped past the end of the file: nothing after it is read, so the clip stands.
      {"huge last clip sub-record", OneClipFile(TmlBytes().Int(999).Int(0x7ffffff0).bytes), true},
      {"huge sub-record before the clip", OneClipFile({}, TmlBytes().Int(999).Int(0x7ffffff0).bytes), false},
      {"huge solo table", OneClipFile({}, TmlBytes().Int(109).Int(0x7ffffff0).bytes), false},
      {"time one above 24 h", OneClipFile(TmlBytes().Value(403, 86400001).bytes), false},
      {"time of exactly 24 h", OneClipFile(TmlBytes().Value(403, 86400000).bytes), true},
      {"negative time", OneClipFile(TmlBytes().Value(405, -1).bytes), false},
      {"time record of 5 bytes", OneClipFile(TmlBytes().Int(402).Int(5).Int(1).Raw("x", 1).bytes), false},
      {"track record of 2 bytes", OneClipFile(TmlBytes().Int(455).Int(2).Raw("xy", 2).bytes), false},
      {"name of 260 bytes", OneClipFile(TmlBytes().Record(461, name260).bytes), true},
      {"name of 261 bytes", OneClipFile(TmlBytes().Record(461, name261).bytes), false},
      {"short mute table", OneClipFile({}, TmlBytes().Record(110, {0, 0, 0, 0, 9}).bytes), true},
      {"short solo table", OneClipFile({}, TmlBytes().Record(109, {1, 0, 0, 0, 9}).bytes), false},
      {"long level table", OneClipFile({}, TmlBytes().Record(124, std::vector<uint8_t>(200, 1)).bytes), true},
      {"master level of 8 bytes is skipped", OneClipFile({}, TmlBytes().Record(128, std::vector<uint8_t>(8, 0)).bytes), true},
  };
  for (const Case& c : cases) {
    Outcome o = ReadBytes(c.bytes);
    EXPECT_EQ(c.ok, o.ok) << c.what;
    if (!c.ok) {
      EXPECT_EQ(0.0, o.seconds) << c.what;
    }
  }
  // Every cut of a valid file is a short read somewhere.
  for (size_t n = 0; n < valid.size(); n++) {
    std::vector<uint8_t> cut(valid.begin(), valid.begin() + static_cast<long>(n));
    EXPECT_FALSE(ReadBytes(cut).ok) << n;
  }
}

TEST(ReadTml, MillionRecords) {
  // A million records before the block and a million clips in it read in one pass.
  TmlBytes file;
  file.Header();
  file.bytes.reserve(70000000);
  for (int i = 0; i < 1000000; i++) file.Int(7).Int(0);
  std::vector<uint8_t> clip =
      TmlBytes().Record(400, TmlBytes().Value(402, 0).Value(403, 40).Value(455, 0).Name(456, "a").bytes).bytes;
  const int32_t clips = 1000000;
  file.Int(100).Int(static_cast<int32_t>(clip.size()) * clips);
  for (int32_t i = 0; i < clips; i++) {
    size_t at = file.bytes.size();
    file.Raw(clip);
    int32_t start = i * 50, end = start + 40;
    std::memcpy(&file.bytes[at + 16], &start, 4);  // little-endian machines only, as the tests run
    std::memcpy(&file.bytes[at + 28], &end, 4);
    file.bytes[at + 40] = static_cast<uint8_t>(i & 1);
  }
  Outcome o = ReadBytes(file.bytes);
  EXPECT_TRUE(o.ok);
  EXPECT_DOUBLE_EQ(49999.99, o.seconds);
}

// The literal walk cuts every long clip once for every clip of the chain before it: 2.5 x 10^9
// steps here. The reader must give the same answer in a moment.
TEST(ReadTml, ChainsOfCutsStayFast) {
  const int32_t n = 50000;
  for (bool video : {true, false}) {
    TmlProjectTable t;
    for (int32_t k = 0; k < n; k++)
      t.clips.push_back(video ? Video(k, 20 * k + 40, 0) : Audio(k, 20 * k + 40, 2));
    for (int32_t k = 0; k < n; k++)
      t.clips.push_back(video ? Video(n + k, 86400000, 1) : Audio(n + k, 86400000, 3));
    Outcome o = ReadBytes(t.Build());
    EXPECT_TRUE(o.ok) << video;
    EXPECT_EQ(86400.0, o.seconds) << video;
    EXPECT_EQ(video, o.hasVideo);
  }
}

// Random projects, dense on a short timeline so that every rule meets every other: the reader's
// clip list and duration must be the literal walk's.
TEST(ReadTml, SameResultsAsTheLiteralWalk) {
  const char* names[] = {"a.avi", "A.AVI", "b.avi", "c.avi"};
  int differences = 0;
  for (uint32_t seed = 1; seed <= 4000 && differences < 5; seed++) {
    TmlRandom r(seed);
    TmlProjectTable t;
    int32_t span = 200 + r.Below(3000);
    int32_t n = r.Below(seed % 10 == 0 ? 200 : 40);
    if (r.Below(8) == 0) t.videoSolo = {r.Below(2), r.Below(2)};
    if (r.Below(8) == 0) t.audioSolo = {r.Below(2), r.Below(2), r.Below(2)};
    if (r.Below(4) == 0) t.videoMute = {r.Below(2), r.Below(3) == 0};
    if (r.Below(4) == 0) t.audioMute = {r.Below(3) == 0, r.Below(3) == 0, r.Below(3) == 0, 0};
    if (r.Below(4) == 0) t.audioLevel = {r.Below(2) * 512, 512, r.Below(2) * 100};
    for (int32_t i = 0; i < n; i++) {
      TmlClip c;
      c.start = r.Below(4) == 0 && !t.clips.empty() ? t.clips.back().start : r.Below(span);
      c.end = c.start + r.Below(600) - 20;
      if (c.end < 0) c.end = 0;
      c.sourceIn = r.Below(100);
      int kind = r.Below(4);
      const char* name = names[r.Below(4)];
      if (kind != 1) {
        c.videoTrack = r.Below(7) == 0 ? -1 : r.Below(3);
        c.video = name;
      }
      if (kind != 0) {
        c.audioTrack = r.Below(7) == 0 ? -1 : (r.Below(10) == 0 ? 32 : r.Below(5));
        c.audio = kind == 3 ? names[r.Below(4)] : name;
      }
      t.clips.push_back(c);
      if (kind == 0 && r.Below(2) == 0) {
        // Its audio as a separate clip, near or not quite near enough.
        TmlClip a;
        a.start = c.start + r.Below(50) - 25;
        if (a.start < 0) a.start = 0;
        a.end = c.end + r.Below(50) - 25;
        if (a.end < 0) a.end = 0;
        a.sourceIn = c.sourceIn + r.Below(50) - 25;
        if (a.sourceIn < 0) a.sourceIn = 0;
        a.audioTrack = r.Below(5);
        a.audio = names[r.Below(2)];
        t.clips.push_back(a);
      }
    }
    std::vector<uint8_t> bytes = t.Build();
    aTmlMemory source(bytes.data(), bytes.size());
    aTmlProject fast;
    ASSERT_TRUE(fast.Read(source, "p\\x.tml")) << seed;
    LiteralResult literal = LiteralNormalise(fast);
    fast.Normalise();
    double seconds = 0;
    bool hasVideo = false;
    bool active = fast.Duration(&seconds, &hasVideo);
    bool same = active == literal.active && seconds == literal.seconds &&
                hasVideo == literal.hasVideo;
    for (size_t i = 0; same && i < fast.films.size(); i++) {
      const Film& f = fast.films[i];
      const LiteralClip& l = literal.clips[i];
      same = f.start == l.start && f.end == l.end && f.sourceIn == l.sourceIn &&
             f.sourceOut == l.sourceOut && f.videoTrack == l.videoTrack &&
             f.audioTrack == l.audioTrack;
    }
    if (!same) differences++;
    EXPECT_TRUE(same) << "seed " << seed << " clips " << fast.films.size();
  }
}

TEST(ReadTml, ReadsAFileAndClosesIt) {
  TestDir dir("tml");
  std::string path = dir.Path("p.tml");
  TmlProjectTable t;
  t.clips = {Video(0, 10000, 0), Video(5000, 15000, 1)};
  ASSERT_TRUE(WriteBytes(path, t.Build()));
  double seconds = -1;
  bool hasVideo = false;
  EXPECT_TRUE(ReadTmlDuration(path.c_str(), &seconds, &hasVideo));
  EXPECT_DOUBLE_EQ(15.0, seconds);
  EXPECT_TRUE(hasVideo);
  // Closed again: the file can be removed at once.
  EXPECT_EQ(0, std::remove(path.c_str()));

  seconds = -1;
  hasVideo = true;
  EXPECT_FALSE(ReadTmlDuration(path.c_str(), &seconds, &hasVideo));
  EXPECT_EQ(0.0, seconds);
  EXPECT_FALSE(hasVideo);
}

}  // namespace
