// The Linux side of the launcher's paths.
#include "config/launcher_paths.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/scoped_environment.h"

namespace tarn {
namespace {

TEST(ModulePathPosix, IsTheLinkOfTheRunningProcess) {
  std::wstring path;
  uint32_t error = 0;
  ASSERT_TRUE(queryModulePath(path, error));
  EXPECT_EQ(path, std::filesystem::read_symlink("/proc/self/exe").wstring());
}

TEST(PerUserSettingsFolderPosix, LinuxKeepsNoPerUserFile) {
  // Not even where a settings folder is named.
  test::ScopedEnvironment config(L"XDG_CONFIG_HOME", L"/cfg");
  test::ScopedEnvironment home(L"HOME", L"/home/u");
  std::wstring folder = L"unchanged";
  EXPECT_FALSE(perUserSettingsFolder(folder));
}

}  // namespace
}  // namespace tarn
