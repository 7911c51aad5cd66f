#include "catalogue/Catalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/tests/Aviwriter.h"
#include "catalogue/tests/Testdir.h"
#include "catalogue/tests/Tmlwriter.h"

namespace {

TEST(Catalogue, ItemDurationByExtension) {
  TestDir dir("items");
  AviLayout avi;
  AviStream video;
  video.type = "vids";
  video.scale = 1;
  video.rate = 25;
  video.length = 250;
  avi.streams = {video};
  TmlClip v;
  v.start = 1000;
  v.end = 13500;
  v.videoTrack = 0;
  v.video = "clip.avi";
  TmlClip a;
  a.start = 0;
  a.end = 4000;
  a.audioTrack = 0;
  a.audio = "music.wav";
  TmlProjectTable withVideo, audioOnly;
  withVideo.clips = {v};
  audioOnly.clips = {a};
  for (const char* name : {"CLIP.AVI", "clip.avi", "clip.txt", "clip.tmlx", "clip"})
    ASSERT_TRUE(WriteBytes(dir.Path(name), avi.Build()));
  for (const char* name : {"p.tml", "P.TML"}) ASSERT_TRUE(WriteBytes(dir.Path(name), withVideo.Build()));
  ASSERT_TRUE(WriteBytes(dir.Path("sound.tml"), audioOnly.Build()));
  ASSERT_TRUE(WriteBytes(dir.Path("wrong.avi"), withVideo.Build()));
  ASSERT_TRUE(WriteBytes(dir.Path("wrong.tml"), avi.Build()));

  struct Case {
    const char* name;
    double seconds;
  };
  std::vector<Case> cases = {
      {"CLIP.AVI", 10.0},  {"clip.avi", 10.0},  {"p.tml", 12.5},     {"P.TML", 12.5},
      {"sound.tml", -1.0},  // positive, but no video clip
      {"clip.txt", -1.0},  {"clip.tmlx", -1.0}, {"clip", -1.0},      {"wrong.avi", -1.0},
      {"wrong.tml", -1.0}, {"missing.avi", -1.0}, {"missing.tml", -1.0},
  };
  for (const Case& c : cases) {
    std::string path = dir.Path(c.name);
    EXPECT_EQ(c.seconds, ItemDuration(aStrd(path.c_str()))) << c.name;
  }
  EXPECT_EQ(-1.0, ItemDuration(aStrd()));
}

}  // namespace
