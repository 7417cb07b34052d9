// The launcher's paths on the real Windows API.
#include "config/launcher_paths.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "support/scoped_environment.h"

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
