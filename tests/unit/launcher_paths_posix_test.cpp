#include "config/launcher_paths.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "launcher/launcher.h"

namespace tarn {
namespace {

TEST(AppDataFolderPosix, ConfigHomeThenHome) {
  const char* oldConfig = getenv("XDG_CONFIG_HOME");
  const char* oldHome = getenv("HOME");
  std::string savedConfig = oldConfig ? oldConfig : "";
  std::string savedHome = oldHome ? oldHome : "";

  setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(appDataFolder(), L"/cfg");
  unsetenv("XDG_CONFIG_HOME");
  setenv("HOME", "/home/u", 1);
  EXPECT_EQ(appDataFolder(), L"/home/u/.config");
  unsetenv("HOME");
  EXPECT_EQ(appDataFolder(), L"");

  Launcher launcher;
  launcher.productName = L"Tool: Pro";
  launcher.productCode = L"{0F1E}";
  setenv("XDG_CONFIG_HOME", "/cfg", 1);
  std::wstring out;
  launcher.userConfigPathFor(L"/opt/tool/run", out, false);
  EXPECT_EQ(out, L"/cfg/Tool Pro/{0F1E}/run.ini");

  if (oldConfig) setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1); else unsetenv("XDG_CONFIG_HOME");
  if (oldHome) setenv("HOME", savedHome.c_str(), 1); else unsetenv("HOME");
}

}  // namespace
}  // namespace tarn
