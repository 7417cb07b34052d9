// The whole-file operations behind the class-data archive, on the real file
// system of each platform.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "base/file_system.h"
#include "support/temp_folder.h"

namespace tarn {
namespace {

std::string contentsOf(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

TEST(FileOperations, CreateOnlyWhereNoneExists) {
  const test::TempFolder folder;
  const std::wstring path = folder.pathOf("a.tmp");
  EXPECT_TRUE(createNewFile(path));
  EXPECT_EQ(contentsOf(path), "");
  EXPECT_FALSE(createNewFile(path));
  folder.writeFile("b.tmp", "kept");
  EXPECT_FALSE(createNewFile(folder.pathOf("b.tmp")));
  EXPECT_EQ(contentsOf(folder.pathOf("b.tmp")), "kept");
  EXPECT_FALSE(createNewFile(folder.pathOf("missing/a.tmp")));
}

TEST(FileOperations, SizeAndTimeOfFilesOnly) {
  const test::TempFolder folder;
  uint64_t size = 1;
  uint64_t time = 0;
  EXPECT_TRUE(fileSizeAndTime(folder.writeFile("a.jsa", std::string(70000, 'x')), size, time));
  EXPECT_EQ(size, 70000u);
  EXPECT_NE(time, 0u);
  EXPECT_FALSE(fileSizeAndTime(folder.makeFolder("sub"), size, time));
  EXPECT_FALSE(fileSizeAndTime(folder.pathOf("missing.jsa"), size, time));
}

TEST(FileOperations, ReplaceAndRemove) {
  const test::TempFolder folder;
  const std::wstring from = folder.writeFile("new.tmp", "new");
  const std::wstring to = folder.writeFile("old.jsa", "old");
  EXPECT_TRUE(replaceFile(from, to));
  EXPECT_EQ(contentsOf(to), "new");
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(from)));
  // Nothing to move: the target stays.
  EXPECT_FALSE(replaceFile(from, to));
  EXPECT_EQ(contentsOf(to), "new");
  // Into a new name too.
  EXPECT_TRUE(replaceFile(to, folder.pathOf("kept.jsa")));
  EXPECT_EQ(contentsOf(folder.pathOf("kept.jsa")), "new");

  EXPECT_TRUE(removeFile(folder.pathOf("kept.jsa")));
  EXPECT_FALSE(removeFile(folder.pathOf("kept.jsa")));
}

TEST(FileOperations, VolumeAndProcess) {
  const test::TempFolder folder;
  EXPECT_GT(freeBytesAt(folder.path().wstring()), 0u);
  EXPECT_EQ(freeBytesAt(folder.pathOf("missing/folder")), 0u);
  EXPECT_NE(currentProcessId(), 0u);
  EXPECT_EQ(currentProcessId(), currentProcessId());
}

}  // namespace
}  // namespace tarn
