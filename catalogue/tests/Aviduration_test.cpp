#include "catalogue/Aviduration.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "catalogue/tests/Aviwriter.h"
#include "catalogue/tests/Memoryfile.h"
#include "catalogue/tests/Testdir.h"
#include "shell/tests/TestSupport.h"  // a message that reaches a real box fails the test

namespace {

AviStream Stream(const char* type, uint32_t scale, uint32_t rate, uint32_t length) {
  AviStream s;
  s.type = type;
  s.scale = scale;
  s.rate = rate;
  s.length = length;
  return s;
}

double Exact(uint32_t length, uint32_t scale, uint32_t rate) {
  return static_cast<double>(static_cast<long double>(length) * scale / rate);
}

struct Read {
  bool ok;
  double seconds;
  int32_t error;
  bool open;
};

Read FromBytes(const std::vector<uint8_t>& bytes) {
  aMemoryFile file(bytes.data(), bytes.size());
  Read r{false, -7.5, 0, false};
  r.ok = ReadAviDuration(file, "clip.avi", &r.seconds, false);
  r.error = file.error;
  r.open = file.isOpen != 0;
  return r;
}

TEST(AviDuration, StreamHeaders) {
  struct Case {
    const char* what;
    AviLayout layout;
    bool ok;
    double seconds;
  };
  AviStream shortHeader = Stream("vids", 1, 25, 250);
  shortHeader.strhSize = 48;
  AviStream longHeader = Stream("vids", 1, 25, 250);
  longHeader.strhSize = 64;
  AviLayout notRiff;
  notRiff.riff = "RIFX";
  notRiff.streams = {Stream("vids", 1, 25, 250)};
  AviLayout wave;
  wave.form = "WAVE";
  wave.streams = {Stream("vids", 1, 25, 250)};
  AviLayout junk;
  junk.junkBeforeStreams = true;
  junk.streams = {Stream("vids", 1, 25, 250)};
  AviLayout noHdrl;
  noHdrl.hdrl = "movi";
  noHdrl.streams = {Stream("vids", 1, 25, 250)};
  AviLayout smallHeaderList;  // the list ends before a whole stream header fits
  smallHeaderList.streams = {Stream("vids", 1, 25, 250)};
  smallHeaderList.hdrlSize = 4 + 4 + 4 + 56 + 75;
  AviLayout exactHeaderList;
  exactHeaderList.streams = {Stream("vids", 1, 25, 250)};
  exactHeaderList.hdrlSize = 4 + 4 + 4 + 56 + 76;
  AviLayout hugeHeaderList;
  hugeHeaderList.streams = {Stream("auds", 1, 44100, 1)};
  hugeHeaderList.hdrlSize = 0xffffffffu;
  AviLayout hugeStreamList;
  hugeStreamList.streams = {Stream("auds", 1, 44100, 1), Stream("vids", 1, 25, 250)};
  hugeStreamList.firstListSize = 0xfffffff0u;
  hugeStreamList.hdrlSize = 0xffffffffu;
  AviLayout hugeAvih;
  hugeAvih.streams = {Stream("vids", 1, 25, 250)};
  hugeAvih.avihSize = 0xffffffffu;
  hugeAvih.hdrlSize = 0xffffffffu;
  AviLayout zeroStreamList;  // a stream list of size 0 points back into itself
  zeroStreamList.streams = {Stream("auds", 1, 25, 250), Stream("vids", 1, 25, 250)};
  zeroStreamList.firstListSize = 0;

  std::vector<Case> cases = {
      {"25 fps", {{Stream("vids", 1, 25, 250)}}, true, 10.0},
      {"29.97 fps", {{Stream("vids", 1001, 30000, 300)}}, true, Exact(300, 1001, 30000)},
      {"interleaved", {{Stream("iavs", 1, 50, 101)}}, true, Exact(101, 1, 50)},
      {"audio first", {{Stream("auds", 1, 48000, 96000), Stream("vids", 1, 25, 75)}}, true, 3.0},
      {"first video stream only", {{Stream("vids", 1, 25, 50), Stream("vids", 1, 25, 75)}}, true, 2.0},
      {"large values multiply first", {{Stream("vids", 0xffffffffu, 0xfffffffeu, 0xffffffffu)}}, true, Exact(0xffffffffu, 0xffffffffu, 0xfffffffeu)},
      {"zero length", {{Stream("vids", 1, 25, 0)}}, true, 0.0},
      {"longer stream header", {{longHeader}}, true, 10.0},
      {"stream header of 48 bytes", {{shortHeader}}, false, 0},
      {"zero rate", {{Stream("vids", 1, 0, 250)}}, false, 0},
      {"zero scale", {{Stream("vids", 0, 25, 250)}}, false, 0},
      {"audio only", {{Stream("auds", 1, 48000, 96000)}}, false, 0},
      {"no streams", {}, false, 0},
      {"not RIFF", notRiff, false, 0},
      {"RIFF of another form", wave, false, 0},
      {"JUNK before the stream lists", junk, false, 0},
      {"no header list", noHdrl, false, 0},
      {"header list one byte short of a stream", smallHeaderList, false, 0},
      {"header list just holding a stream", exactHeaderList, true, 10.0},
      {"header list size near 2^32", hugeHeaderList, false, 0},
      {"stream list size near 2^32", hugeStreamList, false, 0},
      {"main header size near 2^32", hugeAvih, false, 0},
      {"stream list of size 0", zeroStreamList, false, 0},
  };
  for (const Case& c : cases) {
    Read r = FromBytes(c.layout.Build());
    EXPECT_EQ(c.ok, r.ok) << c.what;
    EXPECT_EQ(c.ok ? c.seconds : -7.5, r.seconds) << c.what;  // unchanged on failure
    EXPECT_FALSE(r.open) << c.what;
  }
}

TEST(AviDuration, FormatFailureRecordsInvalidData) {
  AviLayout audio;
  audio.streams = {Stream("auds", 1, 48000, 96000)};
  EXPECT_EQ(13, FromBytes(audio.Build()).error);
  AviLayout video;
  video.streams = {Stream("vids", 1, 25, 250)};
  EXPECT_EQ(0, FromBytes(video.Build()).error);
}

TEST(AviDuration, EveryTruncationFails) {
  AviLayout layout;
  layout.streams = {Stream("auds", 1, 48000, 96000), Stream("vids", 1, 25, 250)};
  std::vector<uint8_t> bytes = layout.Build();
  // RIFF head, header list head with the main header, the audio stream list, and the video stream
  // list up to the end of its stream header: every shorter file fails.
  size_t needed = 12 + (8 + 4 + 8 + 56) + (8 + 4 + 8 + 56 + 16) + (8 + 4 + 8 + 56);
  ASSERT_TRUE(FromBytes(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(needed))).ok);
  for (size_t n = 0; n < needed; n++) {
    Read r = FromBytes(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(n)));
    EXPECT_FALSE(r.ok) << n;
    EXPECT_FALSE(r.open) << n;
  }
}

TEST(AviDuration, ReadsAFileAndClosesIt) {
  TestDir dir("avi");
  std::string path = dir.Path("clip.avi");
  AviLayout layout;
  layout.streams = {Stream("vids", 1001, 30000, 300)};
  std::vector<uint8_t> bytes = layout.Build();
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_TRUE(f);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  double seconds = 0;
  EXPECT_TRUE(ReadAviDuration(aStrd(path.c_str()), &seconds, false));
  EXPECT_EQ(Exact(300, 1001, 30000), seconds);
  EXPECT_EQ(0, std::remove(path.c_str()));  // closed: removable at once, also on Windows

  seconds = 4.25;
  EXPECT_FALSE(ReadAviDuration(aStrd(path.c_str()), &seconds, false));
  EXPECT_EQ(4.25, seconds);
}

}  // namespace
