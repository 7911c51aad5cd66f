#include "foundation/PathInfo.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string S(aStrd v) { return std::string(v.data ? v.data : "", v.length); }

TEST(PathInfo, Splits) {
  struct {
    const char* path;
    const char *drive, *directory, *fileName, *extension, *stem, *digits;
    int number;
  } cases[] = {
      {"D:\\clips\\take12.avi", "D:", "\\clips\\", "take12", ".avi", "take", "12", 12},
      {"C:\\old.set\\readme", "C:", "\\old.set\\", "readme", "", "readme", "", 0},
      {"name.tml", "", "", "name", ".tml", "name", "", 0},
      {"C:", "C:", "", "", "", "", "", 0},
      {"C:\\media\\folder", "C:", "\\media\\", "folder", "", "folder", "", 0},
      {"/a/b.c/d.e.f", "", "/a/b.c/", "d.e", ".f", "d.e", "", 0},
      {"x:y:z\\007", "x:y:", "z\\", "007", "", "", "007", 7},
      {"dir/", "", "dir/", "", "", "", "", 0},
      {".hidden", "", "", "", ".hidden", "", "", 0},
      {"a\\b/c", "", "a\\b/", "c", "", "c", "", 0},
      {"clip99999999999.avi", "", "", "clip99999999999", ".avi", "clip", "99999999999",
       2147483647},
      {"", "", "", "", "", "", "", 0},
  };
  for (auto& c : cases) {
    aPathInfo p{aStrd(c.path)};
    EXPECT_EQ(c.path, S(p.path));
    EXPECT_EQ(c.drive, S(p.drive)) << c.path;
    EXPECT_EQ(c.directory, S(p.directory)) << c.path;
    EXPECT_EQ(c.fileName, S(p.fileName)) << c.path;
    EXPECT_EQ(c.extension, S(p.extension)) << c.path;
    EXPECT_EQ(c.stem, S(p.stem)) << c.path;
    EXPECT_EQ(c.digits, S(p.digits)) << c.path;
    EXPECT_EQ(c.number, p.number) << c.path;
  }
}

TEST(PathInfo, ViewsLieInThePathAndNeedNoTerminator) {
  // 64 KiB path in an exactly sized heap buffer: the sanitizer sees any byte read past it.
  std::string text = "E:" + std::string(65536 - 16, 'd') + "\\clip12345.avi";
  char* buffer = new char[text.size()];
  text.copy(buffer, text.size());
  aPathInfo p(aStrd(buffer, static_cast<int32_t>(text.size())));
  EXPECT_EQ(65536, p.path.length);
  EXPECT_EQ("E:", S(p.drive));
  EXPECT_EQ(65536 - 16 + 1, p.directory.length);
  EXPECT_EQ("clip12345", S(p.fileName));
  EXPECT_EQ(12345, p.number);
  EXPECT_EQ(buffer + text.size() - 4, p.extension.data);
  delete[] buffer;
}

}  // namespace
