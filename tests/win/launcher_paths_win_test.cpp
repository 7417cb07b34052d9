// The launcher's paths on the real Windows API.
#include "config/launcher_paths.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "support/scoped_environment.h"
#include "support/temp_folder.h"

namespace tarn {
namespace {

TEST(ModulePathWin, MatchesTheSystemsAnswer) {
  wchar_t expected[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, expected, MAX_PATH);
  ASSERT_GT(length, 0u);
  std::wstring path;
  uint32_t error = 0;
  ASSERT_TRUE(queryModulePath(path, error));
  EXPECT_EQ(path, std::wstring(expected, length));
}

// Set in the child that ModulePathWin.LongerThanMaxPath starts: the file that
// receives the child's own module path, as UTF-16.
const wchar_t kAnswerFile[] = L"TARN_TEST_MODULE_PATH_ANSWER";

TEST(ModulePathWin, AnswersInTheChild) {
  const auto answer = test::environmentValue(kAnswerFile);
  if (!answer) GTEST_SKIP() << "the child side of ModulePathWin.LongerThanMaxPath";
  std::wstring path;
  uint32_t error = 0;
  ASSERT_TRUE(queryModulePath(path, error)) << error;
  std::ofstream(std::filesystem::path(*answer), std::ios::binary)
      .write(reinterpret_cast<const char*>(path.data()), static_cast<std::streamsize>(path.size() * sizeof(wchar_t)));
}

// The first buffer holds MAX_PATH characters: a copy of the test program in a
// folder whose path is longer runs itself there and reports its path.
TEST(ModulePathWin, LongerThanMaxPath) {
  test::TempFolder temp;
  std::filesystem::path deep = L"\\\\?\\" + temp.path().wstring();
  for (int level = 0; level < 6; ++level) deep /= std::wstring(60, static_cast<wchar_t>(L'a' + level));
  std::filesystem::create_directories(deep);
  // Removed through its long form: the temporary folder's own removal takes
  // no path longer than MAX_PATH.
  struct DeepFolder {
    std::filesystem::path top;
    ~DeepFolder() {
      std::error_code ignored;
      std::filesystem::remove_all(top, ignored);
    }
  } removed{L"\\\\?\\" + temp.path().wstring() + L"\\" + std::wstring(60, L'a')};
  wchar_t self[MAX_PATH];
  ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
  const std::filesystem::path copy = deep / L"win-tests-copy.exe";
  ASSERT_TRUE(CopyFileW(self, copy.c_str(), FALSE));
  const std::wstring program = copy.wstring().substr(4);
  ASSERT_GT(program.size(), static_cast<size_t>(MAX_PATH));
  const std::wstring answer = temp.pathOf(L"answer.txt");

  test::ScopedEnvironment child(kAnswerFile, answer);
  std::wstring command = L"\"" + program + L"\" --gtest_filter=ModulePathWin.AnswersInTheChild";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(copy.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
    GTEST_SKIP() << "this system starts no program whose path is longer than MAX_PATH (error " << GetLastError()
                 << ")";
  }
  CloseHandle(started.hThread);
  ASSERT_EQ(WaitForSingleObject(started.hProcess, INFINITE), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(started.hProcess, &code);
  CloseHandle(started.hProcess);
  ASSERT_EQ(code, 0u);
  std::ifstream in(std::filesystem::path(answer), std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  const std::string text = bytes.str();
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size() / sizeof(wchar_t)), program);
}

// The shell's roaming folder, asked of the system directly.
std::wstring shellRoamingFolder() {
  wchar_t folder[MAX_PATH] = {};
  using GetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
  HMODULE shell = LoadLibraryW(L"shell32.dll");
  auto get = reinterpret_cast<GetFolderPath>(reinterpret_cast<void*>(GetProcAddress(shell, "SHGetFolderPathW")));
  if (get == nullptr || FAILED(get(nullptr, 0x001a, nullptr, 0, folder))) folder[0] = 0;
  FreeLibrary(shell);
  return folder;
}

TEST(PerUserSettingsFolderWin, AppDataOfAnyLengthOrTheShellsFolder) {
  const std::wstring shell = shellRoamingFolder();
  ASSERT_FALSE(shell.empty());
  const struct {
    const char* name;
    std::optional<std::wstring> appData;
    std::wstring folder;
  } rows[] = {
      {"short", L"C:\\Users\\u\\AppData\\Roaming", L"C:\\Users\\u\\AppData\\Roaming"},
      {"longer than MAX_PATH", L"C:\\" + std::wstring(297, L'x'), L"C:\\" + std::wstring(297, L'x')},
      {"a network path", L"\\\\server\\profiles\\u", L"\\\\server\\profiles\\u"},
      // Never a folder anyone can make: the root of the drive, the current
      // directory, a share named after the product.
      {"unset", std::nullopt, shell},
      {"empty", L"", shell},
      {"relative", L"AppData\\Roaming", shell},
      {"the drive's current directory", L"C:AppData", shell},
      {"the root of the current drive", L"\\AppData", shell},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    test::ScopedEnvironment appData(L"APPDATA", row.appData);
    std::wstring folder = L"stale";
    EXPECT_TRUE(perUserSettingsFolder(folder));
    EXPECT_EQ(folder, row.folder);
  }
}

}  // namespace
}  // namespace tarn
