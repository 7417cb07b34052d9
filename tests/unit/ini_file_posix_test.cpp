// The Linux IniFile on real files.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/text.h"
#include "config/ini_file.h"
#include "support/temp_folder.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;

// run.ini in a fresh folder.
class IniFilePosixTest : public ::testing::Test {
 protected:
  void writeFile(const std::string& bytes) { folder_.writeFile("run.ini", bytes); }

  std::string fileBytes() const {
    std::ifstream in(fs::path(path_), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  std::string read(const char* section, const char* key) {
    IniFile file(path_);
    std::wstring out = L"stale";
    file.readString(fromUtf8(section), fromUtf8(key), out);
    return toUtf8(out);
  }

  test::TempFolder folder_;
  const std::wstring path_ = folder_.pathOf("run.ini");
};

TEST_F(IniFilePosixTest, MissingFileReadsAsEmpty) {
  IniFile file(path_);
  std::wstring out = L"stale";
  file.readString(L"S", L"K", out);
  EXPECT_EQ(out, L"");
  std::vector<std::wstring> names = {L"stale"};
  file.sectionNames(names);
  EXPECT_TRUE(names.empty());
}

TEST_F(IniFilePosixTest, ReadsEveryEncoding) {
  const std::string utf16("\xFF\xFE[\0S\0]\0\r\0\n\0K\0=\0\xE9\0", 18);
  for (const std::string& bytes : {std::string("[S]\nK=\xC3\xA9\n"), std::string("\xEF\xBB\xBF[S]\r\nK=\xC3\xA9"), utf16}) {
    SCOPED_TRACE(bytes.size());
    writeFile(bytes);
    EXPECT_EQ(read("S", "K"), "\xC3\xA9");
  }
}

TEST_F(IniFilePosixTest, WriteKeepsTheRestOfTheFile) {
  writeFile("\xEF\xBB\xBF; settings\r\n[S]\r\nK=1\r\n\r\n[T]\r\nX=\xC3\xA9\r\n");
  ::chmod(toUtf8(path_).c_str(), 0600);
  IniFile file(path_);
  EXPECT_TRUE(file.writeString(L"S", L"K", L"2"));
  EXPECT_TRUE(file.writeString(L"S", L"L", L"3"));
  EXPECT_TRUE(file.writeString(L"U", L"Y", L"4"));
  EXPECT_EQ(fileBytes(), "\xEF\xBB\xBF; settings\r\n[S]\r\nK=2\r\nL=3\r\n\r\n[T]\r\nX=\xC3\xA9\r\n[U]\r\nY=4\r\n");
  EXPECT_EQ(fs::status(fs::path(path_)).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator()), 1);  // no file left behind
}

TEST_F(IniFilePosixTest, WriteCreatesAMissingFile) {
  IniFile file(path_);
  EXPECT_TRUE(file.writeString(L"S", L"K", L"/opt/jre"));
  EXPECT_EQ(fileBytes(), "[S]\nK=/opt/jre\n");
}

TEST_F(IniFilePosixTest, WriteLeavesAFileItCannotKeepWhole) {
  const std::string broken = "[S]\nK=\xFF\xFE\n";  // malformed UTF-8 would not survive a rewrite
  writeFile(broken);
  IniFile file(path_);
  EXPECT_FALSE(file.writeString(L"S", L"K", L"2"));
  EXPECT_EQ(fileBytes(), broken);

  writeFile("[S]\nK=1\n");
  EXPECT_FALSE(file.writeString(L"S", L"K", L"a\nL=injected"));
  EXPECT_EQ(fileBytes(), "[S]\nK=1\n");
}

TEST_F(IniFilePosixTest, WriteIntoAMissingFolderFails) {
  IniFile file(folder_.pathOf("absent/run.ini"));
  EXPECT_FALSE(file.writeString(L"S", L"K", L"v"));
}

TEST_F(IniFilePosixTest, FolderInsteadOfFile) {
  IniFile file(folder_.path().wstring());
  std::wstring out = L"stale";
  file.readString(L"S", L"K", out);
  EXPECT_EQ(out, L"");
  std::vector<std::wstring> names = {L"stale"};
  file.sectionNames(names);
  EXPECT_TRUE(names.empty());
  EXPECT_FALSE(file.writeString(L"S", L"K", L"v"));
  EXPECT_TRUE(fs::is_directory(folder_.path()));
}

// One start reads one moment's file: it is read once, at the first read,
// and the object's own writes are seen at once.
TEST_F(IniFilePosixTest, ReadOnceAndKeptUpToDateWithItsOwnWrites) {
  writeFile("[S]\nK=first\n");
  IniFile file(path_);
  std::wstring out;
  file.readString(L"S", L"K", out);
  EXPECT_EQ(out, L"first");
  writeFile("[S]\nK=changed outside\n");
  file.readString(L"S", L"K", out);
  EXPECT_EQ(out, L"first");
  EXPECT_TRUE(file.writeString(L"S", L"L", L"written"));
  file.readString(L"S", L"L", out);
  EXPECT_EQ(out, L"written");
  file.readString(L"S", L"K", out);
  EXPECT_EQ(out, L"changed outside");  // the write started from the file as it was then
}

// A FIFO or a device of the configuration file's name neither blocks the
// start nor is replaced by a write.
TEST_F(IniFilePosixTest, OnlyARegularFileIsRead) {
  ASSERT_EQ(::mkfifo(toUtf8(path_).c_str(), 0600), 0);
  IniFile fifo(path_);
  std::wstring out = L"stale";
  fifo.readString(L"S", L"K", out);
  EXPECT_EQ(out, L"");
  EXPECT_FALSE(fifo.writeString(L"S", L"K", L"v"));
  EXPECT_TRUE(fs::is_fifo(fs::path(path_)));

  IniFile device(L"/dev/zero");
  device.readString(L"S", L"K", out);
  EXPECT_EQ(out, L"");
}

}  // namespace
}  // namespace tarn
