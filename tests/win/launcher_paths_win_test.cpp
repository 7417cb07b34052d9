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

TEST(PerUserSettingsFolderWin, IsAppDataOfAnyLength) {
  const struct {
    const char* name;
    std::optional<std::wstring> appData;
    std::wstring folder;
  } rows[] = {
      {"short", L"C:\\Users\\u\\AppData\\Roaming", L"C:\\Users\\u\\AppData\\Roaming"},
      {"longer than MAX_PATH", L"C:\\" + std::wstring(297, L'x'), L"C:\\" + std::wstring(297, L'x')},
      // The NT family keeps a per-user file even then; its path starts at the root.
      {"unset", std::nullopt, L""},
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
