#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "stamper/file_io.h"
#include "support/temp_folder.h"

namespace tarn::stamper {
namespace {

std::vector<std::string> entriesOf(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  return names;
}

TEST(StamperFileIo, ReplacesTheOutputWhole) {
  test::TempFolder folder;
  const std::wstring output = folder.writeFile("run.exe", "old contents, longer than the new");
  std::wstring why;
  ASSERT_TRUE(replaceFile(output, "new", why));
  std::string bytes;
  ASSERT_TRUE(readWholeFile(output, bytes, why));
  EXPECT_EQ(bytes, "new");
  ASSERT_TRUE(replaceFile(folder.pathOf("other.exe"), std::string("\0\x01\xFF", 3), why));
  ASSERT_TRUE(readWholeFile(folder.pathOf("other.exe"), bytes, why));
  EXPECT_EQ(bytes, std::string("\0\x01\xFF", 3));
  EXPECT_EQ(entriesOf(folder.path()).size(), 2u);  // no temporary file left
}

TEST(StamperFileIo, LeavesNothingBehindWhenItCannotWrite) {
  test::TempFolder folder;
  std::wstring why;
  // The output's folder is missing.
  EXPECT_FALSE(replaceFile(folder.pathOf("missing/run.exe"), "bytes", why));
  EXPECT_FALSE(why.empty());
  // The output is a folder with a file in it: the rename fails after the
  // temporary file was written, which must go again.
  folder.writeFile("taken/inside.txt", "x");
  why.clear();
  EXPECT_FALSE(replaceFile(folder.pathOf("taken"), "bytes", why));
  EXPECT_FALSE(why.empty());
  EXPECT_EQ(entriesOf(folder.path()), std::vector<std::string>{"taken"});
  EXPECT_EQ(entriesOf(folder.path() / "taken"), std::vector<std::string>{"inside.txt"});
}

TEST(StamperFileIo, ReadFailures) {
  test::TempFolder folder;
  std::string bytes = "unchanged";
  std::wstring why;
  EXPECT_FALSE(readWholeFile(folder.pathOf("missing.exe"), bytes, why));
  EXPECT_FALSE(why.empty());
  EXPECT_EQ(bytes, "");
  why.clear();
  bytes = "unchanged";
  EXPECT_FALSE(readWholeFile(folder.path().wstring(), bytes, why));
  EXPECT_FALSE(why.empty());
  EXPECT_EQ(bytes, "");
}

}  // namespace
}  // namespace tarn::stamper
