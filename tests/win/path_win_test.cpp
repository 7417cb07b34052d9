// Path existence and the long-path form on the real Windows API.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/path.h"
#include "base/path_win.h"
#include "support/open_handles_win.h"
#include "support/temp_folder.h"
#include "win/folder_tree_win.h"

namespace tarn {
namespace {

class PathWinTest : public ::testing::Test {
 protected:
  // Removes what the long paths below it hold, which a plain removal cannot reach.
  void TearDown() override { test::removeFolderTree(L"\\\\?\\" + folder_.path().wstring()); }

  // Folders of 40 characters below the temporary folder until the path has
  // at least `length` characters; returns it.
  std::wstring deepFolder(size_t length) {
    std::wstring folder = folder_.path().wstring();
    while (folder.size() < length) {
      folder += L"\\" + std::wstring(40, L'd');
      CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr);
    }
    return folder;
  }

  static bool createFile(const std::wstring& fullPath) {
    HANDLE created = CreateFileW((L"\\\\?\\" + fullPath).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE) return false;
    CloseHandle(created);
    return true;
  }

  test::TempFolder folder_;
};

TEST_F(PathWinTest, ExistenceByDirectorySearch) {
  folder_.writeFile("jvm.dll", "\x01");
  folder_.makeFolder("bin\\client\\jvm.dll");
  const std::wstring base = folder_.path().wstring() + L"\\";
  struct Row {
    const wchar_t* path;
    bool exists;
  };
  const Row rows[] = {
      {L"jvm.dll", true},
      {L"bin\\client\\jvm.dll", true},  // a folder of that name counts
      {L"jv?.dll", true},
      {L"*.dll", true},
      {L"bin\\*\\jvm.dll", false},  // wildcards only in the last component
      {L"java.dll", false},
      {L"missing\\jvm.dll", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(row.path)));
    EXPECT_EQ(pathExists(base + row.path), row.exists);
  }
  // A 300-character path is no error, just not there.
  EXPECT_FALSE(pathExists(base + std::wstring(300, L'x')));
}

TEST_F(PathWinTest, ExistenceClosesItsSearchAtOnce) {
  const std::wstring file = folder_.writeFile("jvm.dll", "\x01");
  const std::vector<uintptr_t> before = test::openHandles();
  ASSERT_TRUE(pathExists(file));
  ASSERT_TRUE(pathExists(folder_.pathOf("*")));
  EXPECT_EQ(test::openHandles(), before);
}

TEST_F(PathWinTest, ExistenceOfPathsOfAnyLength) {
  // Folders deep enough that files of exactly 259 and 260 characters fit.
  const std::wstring folder = deepFolder(200);
  for (size_t length : {259u, 260u, 300u}) {
    SCOPED_TRACE(length);
    const std::wstring file = folder + L"\\" + std::wstring(length - folder.size() - 1, L'f');
    ASSERT_EQ(file.size(), length);
    ASSERT_TRUE(createFile(file));
    EXPECT_TRUE(pathExists(file));
    EXPECT_FALSE(pathExists(file + L"x"));
  }
}

TEST_F(PathWinTest, ALongRelativePathIsMadeFullFirst) {
  const std::wstring folder = deepFolder(folder_.path().wstring().size() + 300);
  const std::wstring file = folder + L"\\run.ini";
  ASSERT_TRUE(createFile(file));
  test::CurrentDirectory inFolder(folder_.path());
  const std::wstring relative = file.substr(folder_.path().wstring().size() + 1);
  ASSERT_GE(relative.size(), 260u);
  EXPECT_TRUE(pathExists(relative));
  EXPECT_EQ(longPathForm(relative), withLongPathPrefix(std::filesystem::current_path().wstring() + L"\\" + relative));
}

TEST(LongPathFormWin, OnlyLongPathsChange) {
  const std::wstring long300 = L"C:\\" + std::wstring(300, L'a');
  const std::wstring share = L"\\\\server\\share\\" + std::wstring(300, L'n');
  const struct {
    const char* name;
    std::wstring path;
    std::wstring expected;
  } rows[] = {
      {"short path", L"C:\\Java\\bin", L"C:\\Java\\bin"},
      {"short relative path", L"jre\\bin", L"jre\\bin"},
      {"long full path", long300, L"\\\\?\\" + long300},
      {"dot components resolved", long300 + L"\\.\\b\\..\\c", L"\\\\?\\" + long300 + L"\\c"},
      {"already prefixed", L"\\\\?\\" + long300 + L"\\.", L"\\\\?\\" + long300 + L"\\."},
      {"long network path", share, L"\\\\?\\UNC\\" + share.substr(2)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(longPathForm(row.path), row.expected);
  }
}

}  // namespace
}  // namespace tarn
