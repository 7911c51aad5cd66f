#include "foundation/File.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shell/tests/TestSupport.h"

namespace {

using mrvtest::TempDir;


const uint64_t k5GiB = 5ull << 30;

#ifdef _WIN32
const int32_t kInvalidNameError = 123;  // ERROR_INVALID_NAME
#else
const int32_t kInvalidNameError = 22;   // EINVAL
#endif

TEST(File, QuietOpenOfMissingFileFailsClosedWithTheSystemError) {
  TempDir dir;
  aWinFile f;
  EXPECT_FALSE(f.Open(aStrd(dir.File("missing.avi").c_str()), kFileQuiet));
  EXPECT_FALSE(f.isOpen);
  EXPECT_EQ(2, f.error);  // not found, on both systems
  EXPECT_EQ(kFileQuiet, f.mode);
  EXPECT_FALSE(f.Read(nullptr, 0));
  EXPECT_FALSE(f.Seek(0));
}

TEST(File, ExactReadsAdvanceAndShortReadClosesTheFile) {
  TempDir dir;
  std::string name = dir.Write("twelve.bin", std::string("\x01\x02\x03\x04" "ABCDEFGH", 12));
  aWinFile f;
  ASSERT_TRUE(f.Open(aStrd(name.c_str()), kFileQuiet));
  EXPECT_EQ(12u, f.size);
  EXPECT_EQ(0x04030201u, f.ReadU32());
  EXPECT_EQ(4u, f.position);
  char buffer[8];
  ASSERT_TRUE(f.Read(buffer, 4));
  EXPECT_EQ(0, std::memcmp(buffer, "ABCD", 4));
  EXPECT_EQ(8u, f.position);

  ASSERT_TRUE(f.Seek(10));
  std::memset(buffer, 'z', sizeof buffer);
  EXPECT_FALSE(f.Read(buffer, 4));  // only 2 bytes remain
  EXPECT_EQ(0, std::memcmp(buffer, "GHzz", 4));
  EXPECT_FALSE(f.isOpen);
  EXPECT_EQ(10u, f.position);
  EXPECT_FALSE(f.Read(buffer, 1));
  EXPECT_EQ(0u, f.ReadU32());
}

TEST(File, SkipPastTheEndSucceedsAndTheNextReadFails) {
  TempDir dir;
  std::string name = dir.Write("short.bin", "abc");
  aWinFile f;
  ASSERT_TRUE(f.Open(aStrd(name.c_str()), kFileQuiet));
  ASSERT_TRUE(f.Skip(100));
  EXPECT_EQ(100u, f.position);
  EXPECT_TRUE(f.isOpen);
  char c;
  EXPECT_FALSE(f.Read(&c, 1));
  EXPECT_FALSE(f.isOpen);
}

TEST(File, NegativeCountFailsWithoutTouchingTheBuffer) {
  TempDir dir;
  std::string name = dir.Write("n.bin", "abcdef");
  aWinFile f;
  ASSERT_TRUE(f.Open(aStrd(name.c_str()), kFileQuiet));
  char buffer[4] = {'q', 'q', 'q', 'q'};
  EXPECT_FALSE(f.Read(buffer, -1));
  EXPECT_EQ(0, std::memcmp(buffer, "qqqq", 4));
  EXPECT_FALSE(f.isOpen);
}

TEST(File, NameWithNulIsRefusedRatherThanCut) {
  TempDir dir;
  std::string name = dir.Write("real", "x");
  std::string withNul = name + std::string("\0.lng", 5);
  aWinFile f;
  EXPECT_FALSE(f.Open(aStrd(withNul.data(), static_cast<int32_t>(withNul.size())), kFileQuiet));
  EXPECT_EQ(kInvalidNameError, f.error);
  EXPECT_FALSE(FileExists(aStrd(withNul.data(), static_cast<int32_t>(withNul.size()))));
  EXPECT_TRUE(FileExists(aStrd(name.c_str())));
}

TEST(File, PositionsBeyondFourGiBReachTheSystem) {
  TempDir dir;
  std::string name = dir.File("sparse.bin");
  {
    aWinFile w;
    ASSERT_TRUE(w.Open(aStrd(name.c_str()), kFileCreate | kFileReadWrite | kFileQuiet));
    ASSERT_TRUE(w.SeekRaw(k5GiB));
    int32_t put = 0;
    ASSERT_TRUE(w.WriteRaw("\x11\x22\x33\x44", 4, &put));
    EXPECT_EQ(4, put);
  }
  aWinFile f;
  ASSERT_TRUE(f.Open(aStrd(name.c_str()), kFileQuiet));
  EXPECT_EQ(k5GiB + 4, f.size);
  ASSERT_TRUE(f.Seek(k5GiB));
  EXPECT_EQ(0x44332211u, f.ReadU32());
  EXPECT_EQ(k5GiB + 4, f.position);
  // The low 32 bits alone would land on byte 0 (a hole of zeros), not on the value.
  ASSERT_TRUE(f.Seek(k5GiB + 1));
  unsigned char b = 0;
  ASSERT_TRUE(f.Read(&b, 1));
  EXPECT_EQ(0x22, b);
}

TEST(File, DeleteOnCloseRemovesTheFile) {
  TempDir dir;
  std::string name = dir.File("scratch.tmp");
  aWinFile f;
  ASSERT_TRUE(f.Open(aStrd(name.c_str()),
                     kFileCreate | kFileReadWrite | kFileQuiet | kFileDeleteOnClose));
  EXPECT_TRUE(FileExists(aStrd(name.c_str())));  // open and not shared: no fopen here
  EXPECT_FALSE(f.Close(true));
  EXPECT_FALSE(FileExists(aStrd(name.c_str())));
  EXPECT_EQ(kFileQuiet, f.mode);
}

TEST(File, DestroyingTheFileReleasesItsHandle) {
  TempDir dir;
  std::string name = dir.Write("locked.bin", "data");
  {
    aWinFile f;
    ASSERT_TRUE(f.Open(aStrd(name.c_str()), kFileReadWrite | kFileQuiet));
  }
  // Read/write opens share nothing: a handle left behind would refuse this one on Windows.
  aWinFile again;
  EXPECT_TRUE(again.Open(aStrd(name.c_str()), kFileReadWrite | kFileQuiet));
}

}  // namespace
