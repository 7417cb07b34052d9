#include "base/path.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "support/temp_folder.h"

namespace tarn {
namespace {

TEST(IsAbsolutePath, ByTheRulesOfEachStyle) {
  const struct {
    const wchar_t* path;
    bool windows;
    bool windowsRootedDrive;
    bool posix;
  } cases[] = {
      {L"C:\\Java", true, true, false},
      {L"C:\\", true, true, false},
      {L"C:Java", true, false, false},  // drive-relative counts as absolute, unless the root is asked for
      {L"c:", true, false, false},
      {L"C:/Java", true, false, false},
      {L"\\\\server\\share", true, true, false},
      {L"\\\\", true, true, false},
      {L"\\Java", false, false, false},  // root of the current drive: not absolute
      {L"C", false, false, false},
      {L"Java\\bin", false, false, false},
      {L"/opt/jdk", false, false, true},
      {L"/", false, false, true},
      {L"//server", false, false, true},
      {L"opt/jdk", false, false, false},
      {L"", false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(toUtf8(c.path));
    EXPECT_EQ(isAbsolutePath(c.path, kWindowsPathStyle), c.windows);
    EXPECT_EQ(isAbsolutePath(c.path, kWindowsPathStyle, /*rootedDrive=*/true), c.windowsRootedDrive);
    EXPECT_EQ(isAbsolutePath(c.path, kPosixPathStyle), c.posix);
    EXPECT_EQ(isAbsolutePath(c.path, kPosixPathStyle, /*rootedDrive=*/true), c.posix);
  }
}

TEST(PathText, StripParentAndTrailingSeparator) {
  const struct {
    const wchar_t* path;
    wchar_t separator;
    int count;
    const wchar_t* stripped;
    const wchar_t* parent;
    const wchar_t* withSeparator;
  } cases[] = {
      {L"C:\\Java\\bin\\server\\jvm.dll", L'\\', 3, L"C:\\Java", L"C:\\Java\\bin\\server",
       L"C:\\Java\\bin\\server\\jvm.dll\\"},
      {L"C:\\Java\\bin", L'\\', 1, L"C:\\Java", L"C:\\Java", L"C:\\Java\\bin\\"},
      {L"C:\\Java\\bin", L'\\', 5, L"C:", L"C:\\Java", L"C:\\Java\\bin\\"},  // stops at the first component
      {L"C:\\Java\\", L'\\', 1, L"C:\\Java", L"C:\\Java", L"C:\\Java\\"},     // the empty last component
      {L"jvm.dll", L'\\', 2, L"jvm.dll", L"", L"jvm.dll\\"},
      {L"C:\\Java", L'\\', 0, L"C:\\Java", L"C:", L"C:\\Java\\"},
      {L"C:\\Java", L'\\', -1, L"C:\\Java", L"C:", L"C:\\Java\\"},
      {L"\\\\host\\share\\jvm.dll", L'\\', 5, L"", L"\\\\host\\share", L"\\\\host\\share\\jvm.dll\\"},
      {L"/opt/jdk/lib", L'/', 2, L"/opt", L"/opt/jdk", L"/opt/jdk/lib/"},
      {L"/opt", L'/', 1, L"", L"", L"/opt/"},
      {L"C:\\Java", L'/', 1, L"C:\\Java", L"", L"C:\\Java/"},  // only the given separator counts
      {L"", L'\\', 1, L"", L"", L""},                            // an empty folder stays empty
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(toUtf8(c.path) + " strip " + std::to_string(c.count));
    EXPECT_EQ(stripPathComponents(c.path, c.count, c.separator), c.stripped);
    EXPECT_EQ(parentFolder(c.path, c.separator), c.parent);
    EXPECT_EQ(withTrailingSeparator(c.path, c.separator), c.withSeparator);
  }
}

TEST(FileNameOf, LastComponentWithoutItsExtension) {
  const struct {
    const wchar_t* path;
    const PathStyle& style;
    const wchar_t* fileName;
    const wchar_t* withoutExtension;
  } cases[] = {
      {L"C:\\Apps\\run.beta.exe", kWindowsPathStyle, L"run.beta.exe", L"run.beta"},
      {L"C:/Apps/run.exe", kWindowsPathStyle, L"run.exe", L"run"},
      {L"C:run.exe", kWindowsPathStyle, L"run.exe", L"run"},
      {L"C:\\my.apps\\run", kWindowsPathStyle, L"run", L"run"},  // a dot in a folder is no extension
      {L"run32", kWindowsPathStyle, L"run32", L"run32"},
      {L"/opt/my.tool/run", kPosixPathStyle, L"run", L"run"},
      {L"/opt/tool/a\\b.sh", kPosixPathStyle, L"a\\b.sh", L"a\\b"},  // a backslash is no separator here
      {L"/home/me/.profile", kPosixPathStyle, L".profile", L".profile"},
      {L"/opt/tool/", kPosixPathStyle, L"", L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(toUtf8(c.path));
    const std::wstring name = fileNameOf(c.path, c.style);
    EXPECT_EQ(name, c.fileName);
    EXPECT_EQ(withoutExtension(name), c.withoutExtension);
  }
}

TEST(WithLongPathPrefix, FromTwoHundredSixtyCharacters) {
  const std::wstring local259 = L"C:\\" + std::wstring(256, L'a');
  const std::wstring local260 = local259 + L"b";
  const std::wstring share = L"\\\\server\\share\\";
  const std::wstring network259 = share + std::wstring(259 - share.size(), L'n');
  const std::wstring network260 = network259 + L"m";
  const std::wstring networkTail = network260.substr(2);
  const struct {
    const char* name;
    std::wstring path;
    std::wstring expected;
  } cases[] = {
      {"259 characters stay", local259, local259},
      {"260 characters get the prefix", local260, L"\\\\?\\" + local260},
      {"already prefixed", L"\\\\?\\" + local260, L"\\\\?\\" + local260},
      {"a short network path stays", L"\\\\server\\share\\x", L"\\\\server\\share\\x"},
      {"network path of 259 characters stays", network259, network259},
      {"network path of 260 characters", network260, L"\\\\?\\UNC\\" + networkTail},
      {"prefixed network path", L"\\\\?\\UNC\\" + networkTail, L"\\\\?\\UNC\\" + networkTail},
      {"device path", L"\\\\.\\" + local260, L"\\\\.\\" + local260},
      {"empty", L"", L""},
  };
  ASSERT_EQ(local259.size(), 259u);
  ASSERT_EQ(network259.size(), 259u);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(withLongPathPrefix(c.path), c.expected);
  }
}

TEST(PathExists, FilesAndFoldersCount) {
  test::TempFolder folder;
  const std::wstring file = folder.writeFile("jvm.dll", "\x01");
  const std::wstring subFolder = folder.makeFolder("folder.dll");
  const struct {
    const char* name;
    std::wstring path;
    bool exists;
  } cases[] = {
      {"file", file, true},
      {"folder", subFolder, true},
      {"missing file", folder.pathOf("missing.dll"), false},
      {"in a missing folder", folder.pathOf("missing/jvm.dll"), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(pathExists(c.path), c.exists);
  }
}

TEST(AbsolutePath, RelativePathsAgainstTheCurrentDirectory) {
  test::TempFolder folder;
  test::CurrentDirectory current(folder.path());
  const wchar_t separator = nativePathStyle().separator;
  const std::wstring here = folder.path().wstring();
  EXPECT_EQ(absolutePath(L"jre"), here + separator + L"jre");
  EXPECT_EQ(absolutePath(std::wstring(L"jre") + separator), here + separator + L"jre" + separator);
  EXPECT_EQ(absolutePath(here + separator + L"jre"), here + separator + L"jre");
  EXPECT_EQ(absolutePath(L""), L"");
}

TEST(IsSameFile, ByIdentityNotBySpelling) {
  test::TempFolder folder;
  const std::wstring file = folder.writeFile("run.exe", "MZ");
  const std::wstring other = folder.writeFile("run32.exe", "MZ");
  const wchar_t separator = nativePathStyle().separator;
  const struct {
    const char* name;
    std::wstring a;
    std::wstring b;
    bool same;
  } cases[] = {
      {"one path", file, file, true},
      {"another spelling", file, folder.pathOf(".") + separator + L"run.exe", true},
      {"two files", file, other, false},
      {"a missing file", file, folder.pathOf("missing.exe"), false},
      {"both missing", folder.pathOf("a"), folder.pathOf("a"), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(isSameFile(c.a, c.b), c.same);
  }
}

}  // namespace
}  // namespace tarn
