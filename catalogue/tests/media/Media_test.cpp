// Files written by a real muxer (made by tests/make-media before these tests run).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/Aviduration.h"
#include "catalogue/Catalogue.h"
#include "shell/tests/TestSupport.h"  // a message that reaches a real box fails the test

namespace {

std::string Media(const char* name) { return std::string(MRV_MEDIA_DIR) + name; }

double Exact(uint32_t length, uint32_t scale, uint32_t rate) {
  return static_cast<double>(static_cast<long double>(length) * scale / rate);
}

TEST(Media, DurationsOfFilesAMuxerWrote) {
  struct Case {
    const char* name;
    double seconds;
  };
  std::vector<Case> cases = {
      {"mjpeg25.avi", 10.0},                              // 250 frames at 25 per second
      {"mjpeg2997.avi", Exact(300, 1001, 30000)},         // 300 frames at 30000/1001
      {"raw50.avi", 2.0},                                 // uncompressed, 100 frames at 50
      {"video-first.avi", 2.0},                           // video, then audio
      {"audio-first.avi", Exact(60, 1001, 30000)},        // audio, then video
      {"UPPER.AVI", 10.0},
      {"audio-only.avi", -1.0},
      {"notes.txt", -1.0},
      {"missing.avi", -1.0},
  };
  for (const Case& c : cases) EXPECT_EQ(c.seconds, ItemDuration(aStrd(Media(c.name).c_str()))) << c.name;
  double seconds = 0;
  ASSERT_TRUE(ReadAviDuration(aStrd(Media("mjpeg2997.avi").c_str()), &seconds, false));
  EXPECT_EQ(10.01, seconds);
}

TEST(Media, ListingOfTheMediaFolder) {
  aString text;
  FileListText(aStrd(MRV_MEDIA_DIR), text);
  EXPECT_EQ(
      "audio-first.avi\r\naudio-only.avi\r\nmjpeg25.avi\r\nmjpeg2997.avi\r\nraw50.avi\r\n"
      "UPPER.AVI\r\nvideo-first.avi\r\n",
      std::string(text.data, static_cast<size_t>(text.length)));
}

}  // namespace
