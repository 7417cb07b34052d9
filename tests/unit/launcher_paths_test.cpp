#include "config/launcher_paths.h"

#include <gtest/gtest.h>

#include "launcher/launcher.h"

namespace tarn {
namespace {

TEST(ConfigPathFor, WindowsTakesTheLastDotOfTheWholePath) {
  const struct {
    const wchar_t* executable;
    bool found;
    const wchar_t* config;
  } cases[] = {
      {L"C:\\Apps\\Tool\\run.exe", true, L"C:\\Apps\\Tool\\run.ini"},
      {L"C:\\Apps\\run.beta.exe", true, L"C:\\Apps\\run.beta.ini"},
      {L"C:\\my.apps\\run", true, L"C:\\my.ini"},
      {L"C:\\apps\\run", false, L""},
      {L"run.", true, L"run.ini"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.executable)));
    std::wstring out;
    EXPECT_EQ(configPathFor(c.executable, kWindowsPathStyle, out), c.found);
    EXPECT_EQ(out, c.config);
  }
}

TEST(ConfigPathFor, LinuxTakesTheExtensionOfTheFileName) {
  const struct {
    const wchar_t* executable;
    const wchar_t* config;
  } cases[] = {
      {L"/opt/tool/run", L"/opt/tool/run.ini"},
      {L"/opt/my.apps/run", L"/opt/my.apps/run.ini"},
      {L"/opt/tool/run.bin", L"/opt/tool/run.ini"},
      {L"/opt/tool/run.beta.bin", L"/opt/tool/run.beta.ini"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.executable)));
    std::wstring out;
    EXPECT_TRUE(configPathFor(c.executable, kPosixPathStyle, out));
    EXPECT_EQ(out, c.config);
  }
}

TEST(UserConfigNames, FolderAndBaseName) {
  EXPECT_EQ(withoutInvalidFolderCharacters(L"a<b>c:d"), L"abcd");
  EXPECT_EQ(withoutInvalidFolderCharacters(L"Tool: Pro"), L"Tool Pro");
  EXPECT_EQ(withoutInvalidFolderCharacters(L"\\?\"|><:/*"), L"");
  EXPECT_EQ(withoutInvalidFolderCharacters(L" keep.all-else "), L" keep.all-else ");

  EXPECT_EQ(userConfigBaseName(L"C:\\Apps\\run.beta.exe", kWindowsPathStyle), L"run.beta.ini");
  EXPECT_EQ(userConfigBaseName(L"run32", kWindowsPathStyle), L"run32.ini");
  EXPECT_EQ(userConfigBaseName(L"..\\x86\\run32.exe", kWindowsPathStyle), L"run32.ini");
  EXPECT_EQ(userConfigBaseName(L"/opt/tool/run", kPosixPathStyle), L"run.ini");
}

TEST(WithLongPathPrefix, FromTwoHundredSixtyCharacters) {
  const std::wstring short259 = L"C:\\" + std::wstring(256, L'a');
  const std::wstring long260 = short259 + L"b";
  EXPECT_EQ(withLongPathPrefix(short259), short259);
  EXPECT_EQ(withLongPathPrefix(long260), L"\\\\?\\" + long260);
  const std::wstring prefixed = L"\\\\?\\" + long260;
  EXPECT_EQ(withLongPathPrefix(prefixed), prefixed);
}

TEST(PairConfigFilePath, NeedsADotInThePairProduct) {
  const struct {
    const wchar_t* pairProduct;
    bool found;
    const wchar_t* config;
  } cases[] = {
      {L"", false, L"unchanged"},
      {L"..\\x86\\run32.exe", true, L"..\\x86\\run32.ini"},
      {L"C:\\x86\\run32", false, L"unchanged"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.pairProduct)));
    Launcher launcher;
    launcher.pairProduct = c.pairProduct;
    std::wstring out = L"unchanged";
    EXPECT_EQ(launcher.pairConfigFilePath(out), c.found);
    EXPECT_EQ(out, c.config);
  }
}

TEST(ModulePath, FolderAndConfigurationFileOfTheRunningExecutable) {
  Launcher launcher;
  std::wstring path, folder, config;
  ASSERT_TRUE(launcher.modulePath(path));
  ASSERT_TRUE(launcher.moduleFolder(folder));
  ASSERT_TRUE(launcher.configFilePath(config));
  EXPECT_EQ(folder.back(), nativePathStyle().separator);
  EXPECT_EQ(path.compare(0, folder.size(), folder), 0);
  EXPECT_EQ(config.compare(0, folder.size(), folder), 0);
  EXPECT_EQ(config.substr(config.size() - 4), L".ini");
  EXPECT_TRUE(findFile(path));
}

}  // namespace
}  // namespace tarn
