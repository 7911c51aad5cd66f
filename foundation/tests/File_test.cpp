#include "foundation/File.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "shell/tests/TestSupport.h"

namespace {

using mrvtest::ScriptedAnswerer;
using mrvtest::Shown;
using mrvtest::Str;
using mrvtest::TempDir;

// The part a report shows before the system's text, which is the system's own wording.
void ExpectReport(const Shown& shown, const std::string& before, const char* title = "File error",
                  const char* icon = "x") {
  EXPECT_EQ(0u, shown.text.find(before + "\nAPI error ")) << shown.text;
  EXPECT_EQ(title, shown.title);
  EXPECT_EQ(icon, shown.icon);
  EXPECT_EQ("", shown.buttons);
}


const uint64_t k5GiB = 5ull << 30;

#ifdef _WIN32
const int32_t kInvalidNameError = 123;  // ERROR_INVALID_NAME
#else
const int32_t kInvalidNameError = 22;   // EINVAL
#endif

TEST(File, QuietOpenOfMissingFileFailsClosedWithTheSystemError) {
  TempDir dir;
  ScriptedAnswerer answerer;
  aWinFile f;
  EXPECT_FALSE(f.Open(aStrd(dir.File("missing.avi").c_str()), kFileQuiet));
  EXPECT_FALSE(f.isOpen);
  EXPECT_EQ(2, f.error);  // not found, on both systems
  EXPECT_EQ(kFileQuiet, f.mode);
  EXPECT_FALSE(f.Read(nullptr, 0));
  EXPECT_FALSE(f.Seek(0));
  EXPECT_TRUE(answerer.shown.empty());
}

TEST(File, FailedOpensAreReportedWithTheirOperation) {
  TempDir dir;
  ScriptedAnswerer answerer;
  std::string missing = dir.File("missing.avi");
  std::string noFolder = dir.Path() + mrvtest::kSeparator + "no" + mrvtest::kSeparator + "x.bin";
  aWinFile f;
  EXPECT_FALSE(f.Open(aStrd(missing.c_str()), 0));
  EXPECT_FALSE(f.Open(aStrd(missing.c_str()), kFileReadWrite));
  EXPECT_FALSE(f.Open(aStrd(noFolder.c_str()), kFileCreate | kFileDeleteOnClose));
  EXPECT_EQ(0, f.mode);  // the delete bit went with the failed open
  ASSERT_EQ(3u, answerer.shown.size());
  ExpectReport(answerer.shown[0], "Cannot open file for read\n" + missing);
  ExpectReport(answerer.shown[1], "Cannot open file for read/write\n" + missing);
  ExpectReport(answerer.shown[2], "Cannot create file\n" + noFolder);
  EXPECT_EQ(0u, answerer.shown[0].text.find("Cannot open file for read\n" + missing + "\nAPI error 2"));
}

TEST(File, ShortReadReportsPositionSizeAndCounts) {
  TempDir dir;
  ScriptedAnswerer answerer;
  std::string name = dir.Write("twelve.bin", "0123456789AB");
  aWinFile f;
  ASSERT_TRUE(f.Open(aStrd(name.c_str()), 0));
  ASSERT_TRUE(f.Seek(10));
  char buffer[4];
  EXPECT_FALSE(f.Read(buffer, 4));
  EXPECT_FALSE(f.isOpen);
  ASSERT_EQ(1u, answerer.shown.size());
  ExpectReport(answerer.shown[0], "Failed read file\n" + name +
                                      "\nposition 10, file size 12\nread size 4, actual read 2");
}

TEST(File, AShortReadIsNotBlamedOnAnEarlierOpensError) {
  TempDir dir;
  ScriptedAnswerer answerer;
  std::string name = dir.Write("twelve.bin", "0123456789AB");
  aWinFile f;
  EXPECT_FALSE(f.Open(aStrd(dir.File("missing.avi").c_str()), kFileQuiet));
  EXPECT_EQ(2, f.error);
  ASSERT_TRUE(f.Open(aStrd(name.c_str()), 0));
  EXPECT_EQ(0, f.error);
  ASSERT_TRUE(f.Seek(10));
  char buffer[4];
  EXPECT_FALSE(f.Read(buffer, 4));
  ASSERT_EQ(1u, answerer.shown.size());
  const std::string& text = answerer.shown[0].text;
  size_t at = text.find("actual read 2\nAPI error 0");
  ASSERT_NE(std::string::npos, at) << text;
  EXPECT_TRUE(text.size() == at + 25 || text[at + 25] == ':') << text;
}

TEST(File, FailedSeekAndFormatErrorsAreReported) {
  TempDir dir;
  ScriptedAnswerer answerer;
  std::string name = dir.Write("three.bin", "abc");
  aWinFile f;
  ASSERT_TRUE(f.Open(aStrd(name.c_str()), 0));
  EXPECT_FALSE(f.Seek(0x8000000000000000ull));  // beyond any signed file offset
  EXPECT_FALSE(f.isOpen);
  EXPECT_NE(0, f.error);
  ASSERT_TRUE(f.Open(aStrd(name.c_str()), 0));
  EXPECT_FALSE(f.FormatError("no RIFF header"));
  EXPECT_EQ(13, f.error);
  EXPECT_FALSE(f.isOpen);
  ASSERT_EQ(2u, answerer.shown.size());
  ExpectReport(answerer.shown[0], "Cannot seek file\n" + name +
                                      "\nposition -9223372036854775808, file size 3");
  ExpectReport(answerer.shown[1], "Invalid file format\n" + name + "\nno RIFF header");
}

TEST(File, ReplacingAsksTheOperatorAndNoKeepsTheFile) {
  TempDir dir;
  ScriptedAnswerer answerer;
  std::string name = dir.Write("keep.tml", "precious");
  std::string question = "File already exist\n" + name + "\nDo you want to replace it?";
  {
    aWinFile f;
    answerer.Queue(0);  // No
    EXPECT_FALSE(f.Open(aStrd(name.c_str()), kFileCreate | kFileReadWrite | kFileDeleteOnClose));
    EXPECT_FALSE(f.isOpen);
  }  // closing must not delete what the operator kept
  EXPECT_EQ("precious", mrvtest::ReadAll(name));
  {
    aWinFile f;
    answerer.Queue(1);  // Yes
    EXPECT_TRUE(f.Open(aStrd(name.c_str()), kFileCreate | kFileReadWrite));
  }
  EXPECT_EQ("", mrvtest::ReadAll(name));
  {
    aWinFile f;
    EXPECT_TRUE(f.Open(aStrd(name.c_str()), kFileCreate | kFileReadWrite | kFileNoAsk));
    EXPECT_TRUE(f.Open(aStrd(name.c_str()), kFileCreate | kFileReadWrite | kFileQuiet));
  }
  ASSERT_EQ(2u, answerer.shown.size());
  for (auto& shown : answerer.shown)
    EXPECT_EQ((Shown{question, "Creating file", "", "Yes|No"}), shown);
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

// Reads of a read-only file go through a window read ahead; whatever the order of seeks and
// reads, the bytes, positions and short-read counts must be the file's own.
TEST(File, ReadsAndSeeksInAnyOrderGiveTheFilesBytes) {
  TempDir dir;
  std::string bytes(3 * 4096 + 123, 0);
  for (size_t i = 0; i < bytes.size(); i++) bytes[i] = static_cast<char>((i * 131 + i / 256) & 255);
  std::string name = dir.Write("window.bin", bytes);
  const uint64_t end = bytes.size();
  struct Step {
    uint64_t seek;  // where to read from
    int32_t count;
  };
  // Marching over a window's edge, back inside it, before it, larger than it, nothing, the end.
  std::vector<Step> steps = {{0, 4},       {4, 4},        {4092, 4},   {4094, 4},     {4098, 8},
                             {4090, 2},    {0, 1},        {100, 5000}, {50, 4},       {5100, 4},
                             {8190, 0},    {8190, 12},    {end - 4, 4}, {end - 4, 0}, {end, 0},
                             {1, 12000},   {end - 5000, 5000}};
  uint32_t random = 12345;
  for (int i = 0; i < 3000; i++) {
    random = random * 1103515245u + 12345u;
    uint64_t at = (random >> 8) % (end + 1);
    random = random * 1103515245u + 12345u;
    int32_t count = static_cast<int32_t>((random >> 8) % (i % 10 == 0 ? 9000 : 16));
    steps.push_back({at + count <= end ? at : end - count, count});
  }
  aWinFile f;
  ASSERT_TRUE(f.Open(aStrd(name.c_str()), kFileQuiet));
  std::string got;
  for (const Step& step : steps) {
    if (step.seek != f.position) ASSERT_TRUE(f.Seek(step.seek));
    got.assign(static_cast<size_t>(step.count), '?');
    ASSERT_TRUE(f.Read(&got[0], step.count)) << step.seek << " " << step.count;
    ASSERT_EQ(bytes.substr(step.seek, step.count), got) << step.seek << " " << step.count;
    ASSERT_EQ(step.seek + step.count, f.position);
  }

  // Short reads anywhere report what the file really had left.
  ScriptedAnswerer answerer;
  for (uint64_t at : {end - 3, end - 1, end, end + 10}) {
    ASSERT_TRUE(f.Open(aStrd(name.c_str()), 0));
    char b[8];
    ASSERT_TRUE(f.Read(b, 8));  // a window at the start
    ASSERT_TRUE(f.Seek(at));
    EXPECT_FALSE(f.Read(b, 4));
    EXPECT_FALSE(f.isOpen);
    int64_t left = at < end ? static_cast<int64_t>(end - at) : 0;
    ASSERT_FALSE(answerer.shown.empty());
    EXPECT_NE(std::string::npos,
              answerer.shown.back().text.find("read size 4, actual read " + std::to_string(left)))
        << answerer.shown.back().text;
  }
  EXPECT_EQ(4u, answerer.shown.size());
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

TEST(File, AFailedDeleteOnCloseIsReportedUnlessQuiet) {
  TempDir dir;
  ScriptedAnswerer answerer;
  std::string name = dir.File("held.tmp");
  for (int32_t quiet : {0, static_cast<int32_t>(kFileQuiet)}) {
    aWinFile f;
    ASSERT_TRUE(f.Open(aStrd(name.c_str()), kFileCreate | kFileNoAsk | kFileDeleteOnClose | quiet));
#ifdef _WIN32
    // A second reader without delete sharing makes the delete fail.
    FILE* held = std::fopen(name.c_str(), "rb");
    ASSERT_TRUE(held);
    f.Close(true);
    std::fclose(held);
#else
    std::remove(name.c_str());
    f.Close(true);
#endif
    EXPECT_NE(0, f.error);
    EXPECT_EQ(quiet, f.mode);
  }
  ASSERT_EQ(1u, answerer.shown.size());
  ExpectReport(answerer.shown[0], "Cannot delete file\n" + name);
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
