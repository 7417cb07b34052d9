// The launcher's paths on the real Windows API.
#include "config/launcher_paths.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "win/folder_tree_win.h"
#include "launcher/launcher.h"

namespace tarn {
namespace {

std::wstring environment(const wchar_t* name) {
  wchar_t buffer[32768];
  DWORD length = GetEnvironmentVariableW(name, buffer, 32768);
  return length == 0 ? std::wstring() : std::wstring(buffer, length);
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const wchar_t* name, const wchar_t* value) : name_(name), old_(environment(name)) {
    hadValue_ = GetEnvironmentVariableW(name, nullptr, 0) != 0;
    SetEnvironmentVariableW(name, value);
  }
  ~ScopedEnvironment() { SetEnvironmentVariableW(name_, hadValue_ ? old_.c_str() : nullptr); }

 private:
  const wchar_t* name_;
  std::wstring old_;
  bool hadValue_ = false;
};

// A fresh folder under the temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    path_ = std::wstring(base) + L"tarn-paths-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TempFolder() { test::removeFolderTree(L"\\\\?\\" + path_); }
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

TEST(ModulePathWin, MatchesTheSystemsAnswer) {
  wchar_t expected[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, expected, MAX_PATH);
  ASSERT_GT(length, 0u);
  std::wstring path;
  uint32_t error = 0;
  ASSERT_TRUE(queryModulePath(path, error));
  EXPECT_EQ(path, std::wstring(expected, length));
}

TEST(AppDataFolderWin, ReadsValuesOfAnyLength) {
  const std::wstring longValue = L"C:\\" + std::wstring(297, L'x');
  {
    ScopedEnvironment appData(L"APPDATA", longValue.c_str());
    EXPECT_EQ(appDataFolder(), longValue);
  }
  {
    ScopedEnvironment appData(L"APPDATA", nullptr);
    EXPECT_EQ(appDataFolder(), L"");
  }
}

TEST(UserConfigPathWin, ComposesAndCreatesTheFolders) {
  TempFolder temp;
  ScopedEnvironment appData(L"APPDATA", temp.path().c_str());
  Launcher launcher;
  launcher.productName = L"Tool: Pro";
  launcher.productCode = L"{0F1E}";
  std::wstring out;
  launcher.userConfigPathFor(L"C:\\Apps\\run.beta.exe", out, false);
  EXPECT_EQ(out, temp.path() + L"\\Tool Pro\\{0F1E}\\run.beta.ini");
  EXPECT_EQ(GetFileAttributesW((temp.path() + L"\\Tool Pro").c_str()), INVALID_FILE_ATTRIBUTES);

  launcher.userConfigPathFor(L"C:\\Apps\\run.beta.exe", out, true);
  DWORD attributes = GetFileAttributesW((temp.path() + L"\\Tool Pro\\{0F1E}").c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);

  // Nothing left of the name: two separators in a row, and no stray folder.
  launcher.productName = L"<>:*?";
  launcher.userConfigPathFor(L"C:\\Apps\\run.exe", out, true);
  EXPECT_EQ(out, temp.path() + L"\\\\{0F1E}\\run.ini");
}

TEST(UserConfigPathWin, PairProductGetsItsOwnFile) {
  TempFolder temp;
  ScopedEnvironment appData(L"APPDATA", temp.path().c_str());
  Launcher launcher;
  launcher.productName = L"App";
  launcher.productCode = L"1";
  std::wstring out = L"unchanged";
  launcher.pairUserConfigFilePath(out);
  EXPECT_EQ(out, L"");
  launcher.pairProduct = L"..\\x86\\run32";
  launcher.pairUserConfigFilePath(out);
  EXPECT_EQ(out, temp.path() + L"\\App\\1\\run32.ini");
}

TEST(FindFileWin, ExistenceWithAndWithoutTheLongPathPrefix) {
  TempFolder temp;
  EXPECT_FALSE(findFile(temp.path() + L"\\missing.ini"));

  // Folders deep enough that files of exactly 259 and 260 characters fit.
  std::wstring folder = temp.path();
  while (folder.size() < 200) {
    folder += L"\\" + std::wstring(40, L'd');
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr));
  }
  for (size_t length : {259u, 260u, 300u}) {
    SCOPED_TRACE(length);
    std::wstring file = folder + L"\\" + std::wstring(length - folder.size() - 1, L'f');
    ASSERT_EQ(file.size(), length);
    HANDLE created = CreateFileW((L"\\\\?\\" + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(created, INVALID_HANDLE_VALUE);
    CloseHandle(created);
    EXPECT_TRUE(findFile(file));
  }
}

TEST(IsNtPlatformWin, ReportsTheNtFamily) { EXPECT_TRUE(isNtPlatform()); }

}  // namespace
}  // namespace tarn
