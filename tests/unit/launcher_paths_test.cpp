#include "config/launcher_paths.h"

#include <gtest/gtest.h>

#include "base/text.h"

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

TEST(UserConfigPathFor, FolderProductNameCodeAndBaseName) {
  const struct {
    const char* name;
    const wchar_t* folder;
    const wchar_t* productName;
    const wchar_t* executable;
    const PathStyle& style;
    const wchar_t* expected;
  } cases[] = {
      {"Windows", L"C:\\Users\\u\\AppData\\Roaming", L"Tool: Pro", L"C:\\Apps\\run.beta.exe", kWindowsPathStyle,
       L"C:\\Users\\u\\AppData\\Roaming\\Tool Pro\\{0F1E}\\run.beta.ini"},
      // Nothing left of the name: two separators in a row.
      {"name of forbidden characters only", L"C:\\AppData", L"<>:*?", L"C:\\Apps\\run.exe", kWindowsPathStyle,
       L"C:\\AppData\\\\{0F1E}\\run.ini"},
      {"POSIX", L"/cfg", L"Tool: Pro", L"/opt/tool/run", kPosixPathStyle, L"/cfg/Tool Pro/{0F1E}/run.ini"},
      // Nothing can lie below no folder.
      {"empty folder", L"", L"App", L"C:\\run.exe", kWindowsPathStyle, L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(userConfigPathFor(c.folder, c.productName, L"{0F1E}", c.executable, c.style), c.expected);
  }
}

// Product Name and Product Code never lead the per-user file out of its
// folder: the path is refused (empty) rather than taken.
TEST(UserConfigPathFor, NamesThatLeaveTheFolderAreRefused) {
  const struct {
    const char* name;
    const wchar_t* productName;
    const wchar_t* productCode;
    const PathStyle& style;
  } cases[] = {
      {"code with parents", L"x", L"..\\..\\..\\Downloads", kWindowsPathStyle},
      {"code ..", L"x", L"..", kWindowsPathStyle},
      {"code .", L"x", L".", kWindowsPathStyle},
      {"code of dots and blanks", L"x", L". .. ", kWindowsPathStyle},
      {"code with a drive", L"x", L"C:\\Temp", kWindowsPathStyle},
      {"code with a drive alone", L"x", L"C:", kWindowsPathStyle},
      {"code with a network start", L"x", L"\\\\host\\share", kWindowsPathStyle},
      {"code with a slash", L"x", L"a/b", kWindowsPathStyle},
      {"code with a control character", L"x", L"a\tb", kWindowsPathStyle},
      {"name ..", L"..", L"{0F1E}", kWindowsPathStyle},
      // The forbidden characters go first, and what is left is "..".
      {"name .. once its forbidden characters are gone", L".\\.", L"{0F1E}", kWindowsPathStyle},
      {"name ... ", L"... ", L"{0F1E}", kWindowsPathStyle},
      {"POSIX code with parents", L"x", L"../..", kPosixPathStyle},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(userConfigPathFor(L"C:\\AppData", c.productName, c.productCode, L"C:\\Apps\\run.exe", c.style), L"");
  }
  // Dots inside a name are no parent.
  EXPECT_EQ(userConfigPathFor(L"C:\\AppData", L"Tool 2.5", L"v..1", L"C:\\Apps\\run.exe", kWindowsPathStyle),
            L"C:\\AppData\\Tool 2.5\\v..1\\run.ini");
}

TEST(ApplicationFolderValue, TheFolderWithoutItsLastSeparatorButARootWithIt) {
  struct Row {
    const wchar_t* folder;
    bool windows;
    const wchar_t* value;
  };
  const Row rows[] = {
      {L"C:\\Apps\\Tool\\", true, L"C:\\Apps\\Tool"},
      {L"C:\\", true, L"C:\\"},
      {L"\\\\server\\share\\app\\", true, L"\\\\server\\share\\app"},
      {L"/opt/tool/", false, L"/opt/tool"},
      {L"/", false, L"/"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(toUtf8(row.folder));
    EXPECT_EQ(applicationFolderValue(row.folder, row.windows ? kWindowsPathStyle : kPosixPathStyle), row.value);
  }
}

TEST(FindLauncherPaths, FolderAndConfigurationFileOfTheRunningExecutable) {
  LauncherPaths paths;
  ASSERT_TRUE(findLauncherPaths(paths));
  const PathStyle& style = nativePathStyle();
  ASSERT_FALSE(paths.folder.empty());
  EXPECT_EQ(paths.folder.back(), style.separator);
  EXPECT_EQ(paths.executable.compare(0, paths.folder.size(), paths.folder), 0);
  EXPECT_EQ(paths.executable.find(style.separator, paths.folder.size()), std::wstring::npos);
  std::wstring config;
  ASSERT_TRUE(configPathFor(paths.executable, style, config));
  EXPECT_EQ(paths.configFile, config);
  EXPECT_TRUE(pathExists(paths.executable));
}

}  // namespace
}  // namespace tarn
