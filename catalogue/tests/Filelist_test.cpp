#include "catalogue/Filelist.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/Catalogue.h"
#include "catalogue/tests/Testdir.h"

namespace {

void Touch(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_TRUE(f) << path;
  std::fclose(f);
}

std::string Listing(aStrd folder, aStrd filter) {
  aFileList list;
  list.AddFiles(folder, filter);
  aString text;
  list.Text(text);
  return std::string(text.data ? text.data : "", static_cast<size_t>(text.length));
}

TEST(FileList, ItemListingOfAFolder) {
  TestDir dir("list");
  for (const char* name : {"news.avi", "Intro.tml", "ad.AVI", "notes.txt", "b.tml", "a.avi"})
    Touch(dir.Path(name));
  std::filesystem::create_directory(dir.Path("old.tml"));  // directories are listed like files
  std::filesystem::create_directory(dir.Path("sub"));
  Touch(dir.Path("sub") + "/inner.avi");

  aString text;
  FileListText(aStrd(dir.Folder().c_str()), text);
  EXPECT_EQ("a.avi\r\nad.AVI\r\nb.tml\r\nIntro.tml\r\nnews.avi\r\nold.tml\r\n",
            std::string(text.data, static_cast<size_t>(text.length)));

  // Without its trailing separator the folder counts as a name: its parent is searched.
  EXPECT_EQ("inner.avi\r\n", Listing(aStrd((dir.Path("sub") + "/").c_str()), "*.avi"));
  EXPECT_EQ("a.avi\r\nad.AVI\r\nnews.avi\r\n", Listing(aStrd(dir.Path("sub").c_str()), "*.avi"));
}

TEST(FileList, FilterSegments) {
  TestDir dir("filter");
  for (const char* name : {"a.tml", "b.avi", "c.x", "ab"}) Touch(dir.Path(name));
  aStrd folder(dir.Folder().c_str());
  std::string f = dir.Folder();
  struct Case {
    const char* filter;
    const char* text;
  };
  std::vector<Case> cases = {
      {";;*.tml;ab", "a.tml\r\n"},          // segments of two bytes or less are ignored
      {"*.x", "c.x\r\n"},                   // three bytes are searched
      {"*.tml;*.TML", "a.tml\r\na.tml\r\n"}, // a name matched twice is listed twice
      {"*.avi;*.tml", "a.tml\r\nb.avi\r\n"}, // sorted together, not by pattern
      {" *.tml", ""},                        // no trimming
      {"*.mov", ""},
      {"", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.text, Listing(aStrd(f.c_str()), c.filter)) << c.filter;
}

TEST(FileList, MatchesCaseAndShortNamesLikeTheSystemSearch) {
  TestDir dir("short");
  for (const char* name : {"x.avix", "CLIP.Avi", "clip.avi.bak", "y.av"}) Touch(dir.Path(name));
  // The short name of "x.avix" ends in ".AVI", so the system's search finds it for "*.avi".
  EXPECT_EQ("CLIP.Avi\r\nx.avix\r\n", Listing(aStrd(dir.Folder().c_str()), "*.avi"));
}

TEST(FileList, EqualNamesKeepTheLaterAddedFirst) {
  aFileList list;
  for (const char* name : {"b", "B", "a", "b", "C"}) list.Add(aStrd(name));
  std::vector<std::string> order;
  for (int32_t i = 0; i < list.Count(); i++)
    order.push_back(std::string(list.At(i).data, static_cast<size_t>(list.At(i).length)));
  EXPECT_EQ((std::vector<std::string>{"a", "b", "B", "b", "C"}), order);
  // Adding after reading keeps the rule.
  list.Add(aStrd("B"));
  EXPECT_EQ(std::string("B"), std::string(list.At(1).data, 1));
  EXPECT_EQ(std::string("b"), std::string(list.At(2).data, 1));
}

TEST(FileList, FoldersThatCannotBeListed) {
  TestDir dir("bad");
  std::string missing = dir.Path("missing") + "/";
  EXPECT_EQ("", Listing(aStrd(missing.c_str()), "*.tml;*.avi"));
  EXPECT_EQ("", Listing(aStrd(), "*.nothing-here"));
  // A search path longer than 256 bytes is not cut into another search: nothing is listed, even
  // where the cut pattern would match ("*.t" from "*.tml").
  std::string deep = dir.Folder();
  deep += std::string(256 - 4 - deep.size() - 1, 'd');
  std::error_code ec;
  if (std::filesystem::create_directory(deep, ec)) {
    deep += "/";
    ASSERT_EQ(252u, deep.size());
    Touch(deep + "x.t");
    Touch(deep + "x.tml");
    EXPECT_EQ("x.t\r\n", Listing(aStrd(deep.c_str()), "*.t"));  // 255 bytes: searched
    EXPECT_EQ("", Listing(aStrd(deep.c_str()), "*.tml"));       // 257 bytes
  }
  std::string longFolder(300, 'x');
  EXPECT_EQ("", Listing(aStrd(longFolder.c_str()), "*.avi"));
}

}  // namespace
