#include "jvm/jvm_configuration.h"

#include <gtest/gtest.h>

#include <map>

namespace tarn {
namespace {

std::string narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

TEST(StripPathComponents, CutsAtTheLastSeparators) {
  const struct {
    std::wstring path;
    int count;
    std::wstring expected;
  } cases[] = {
      {L"C:\\jre\\bin\\server\\jvm.dll", 3, L"C:\\jre"},
      {L"C:\\jre\\bin\\server\\jvm.dll", 2, L"C:\\jre\\bin"},
      {L"C:\\jre\\bin\\server\\jvm.dll", 0, L"C:\\jre\\bin\\server\\jvm.dll"},
      {L"C:\\jvm.dll", 3, L"C:"},
      {L"jvm.dll", 3, L"jvm.dll"},
      {L"\\\\host\\share\\jvm.dll", 5, L""},
      {L"", 2, L""},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(narrow(row.path) + " " + std::to_string(row.count));
    EXPECT_EQ(stripPathComponents(row.path, row.count, L'\\'), row.expected);
  }
  EXPECT_EQ(stripPathComponents(L"/usr/lib/jvm/lib/server/libjvm.so", 3, L'/'), L"/usr/lib/jvm");
}

TEST(ClassPathEntry, AbsoluteOrRelative) {
  const struct {
    std::wstring entry;
    bool windows;
    bool posix;
  } cases[] = {
      {L"C:\\lib\\a.jar", true, false}, {L"c:a.jar", true, false},   {L"\\\\host\\share\\a.jar", true, false},
      {L"\\lib\\a.jar", false, false},  {L"lib\\a.jar", false, false}, {L"x", false, false},
      {L"", false, false},              {L"/opt/a.jar", false, true},  {L"lib/a.jar", false, false},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(narrow(row.entry));
    EXPECT_EQ(isAbsoluteClassPathEntry(row.entry, kWindowsJvmPathStyle), row.windows);
    EXPECT_EQ(isAbsoluteClassPathEntry(row.entry, kPosixJvmPathStyle), row.posix);
  }
}

TEST(ClassPathEntry, SearchPatternAndPrefix) {
  const struct {
    const char* name;
    const JvmPathStyle& style;
    std::wstring entry;
    std::wstring directory;
    std::wstring pattern;
    std::wstring prefix;
  } cases[] = {
      {"relative wildcard", kWindowsJvmPathStyle, L"\\lib\\*.jar", L"C:\\app", L"C:\\app\\lib\\*.jar",
       L"C:\\app\\lib\\"},
      {"relative file", kWindowsJvmPathStyle, L"\\classes", L"C:\\app", L"C:\\app\\classes", L"C:\\app\\"},
      {"absolute wildcard", kWindowsJvmPathStyle, L"D:\\shared\\*.jar", L"C:\\app", L"D:\\shared\\*.jar",
       L"D:\\shared\\"},
      {"UNC wildcard", kWindowsJvmPathStyle, L"\\\\host\\share\\*", L"C:\\app", L"\\\\host\\share\\*",
       L"\\\\host\\share\\"},
      // Appended as written, so the name found lies in C:\, and is written so.
      {"relative without a leading separator", kWindowsJvmPathStyle, L"x.jar", L"C:\\app", L"C:\\appx.jar", L"C:\\"},
      {"forward slash", kWindowsJvmPathStyle, L"\\lib/*.jar", L"C:\\app", L"C:\\app\\lib/*.jar", L"C:\\app\\lib/"},
      {"drive-relative", kWindowsJvmPathStyle, L"D:*.jar", L"C:\\app", L"D:*.jar", L"D:"},
      {"posix relative", kPosixJvmPathStyle, L"lib/*.jar", L"/opt/app", L"/opt/app/lib/*.jar", L"/opt/app/lib/"},
      {"posix single name", kPosixJvmPathStyle, L"x", L"/opt/app", L"/opt/app/x", L"/opt/app/"},
      {"posix absolute", kPosixJvmPathStyle, L"/usr/share/java/*.jar", L"/opt/app", L"/usr/share/java/*.jar",
       L"/usr/share/java/"},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    ClassPathSearch search;
    ASSERT_TRUE(classPathSearchFor(row.entry, row.directory, row.style, search));
    EXPECT_EQ(search.pattern, row.pattern);
    EXPECT_EQ(search.prefix, row.prefix);
  }
}

TEST(ClassPathEntry, EmptyEntryNamesNothing) {
  for (const JvmPathStyle* style : {&kWindowsJvmPathStyle, &kPosixJvmPathStyle}) {
    ClassPathSearch search;
    EXPECT_FALSE(classPathSearchFor(L"", L"C:\\app", *style, search));
  }
  std::wstring classPath = L"a;";
  expandClassPathEntry(L"", L"/", classPath);
  EXPECT_EQ(classPath, L"a;");
}

TEST(LauncherDirectory, TheExecutablesFolderWithoutSeparator) {
  EXPECT_EQ(launcherDirectoryOf(L"C:\\app\\run.exe", kWindowsJvmPathStyle), L"C:\\app");
  EXPECT_EQ(launcherDirectoryOf(L"C:\\run.exe", kWindowsJvmPathStyle), L"C:");
  EXPECT_EQ(launcherDirectoryOf(L"/opt/app/run", kPosixJvmPathStyle), L"/opt/app");
  EXPECT_EQ(launcherDirectoryOf(L"run.exe", kWindowsJvmPathStyle), L"");
}

TEST(LibraryPath, ConfiguredPathLauncherFolderOldPathAndRuntimeLib) {
  const std::wstring jvm = L"C:\\jre\\bin\\server\\jvm.dll";
  const std::wstring expected = L"C:\\libs;C:\\app\\;.;%Path%;C:\\jre\\lib";
  EXPECT_EQ(libraryPathText(L"C:\\libs", L"C:\\app\\", jvm, kWindowsJvmPathStyle), expected);
  EXPECT_EQ(libraryPathText(L"C:\\libs;", L"C:\\app\\", jvm, kWindowsJvmPathStyle), expected);
  EXPECT_EQ(libraryPathText(L"%APPDATA%\\x", L"C:\\app\\", jvm, kWindowsJvmPathStyle),
            L"%APPDATA%\\x;C:\\app\\;.;%Path%;C:\\jre\\lib");
  EXPECT_EQ(libraryPathText(L"/libs", L"/opt/app/", L"/jdk/lib/server/libjvm.so", kPosixJvmPathStyle),
            L"/libs:/opt/app/:.:%PATH%:/jdk/lib");
}

TEST(SearchPath, SystemPathFirstRuntimeBinLast) {
  const std::wstring bin = L"C:\\jre\\bin";
  EXPECT_EQ(searchPathText(L"C:\\tools", bin, kWindowsJvmPathStyle), L"C:\\tools;%Path%;C:\\jre\\bin");
  EXPECT_EQ(searchPathText(L"C:\\tools;", bin, kWindowsJvmPathStyle), L"C:\\tools;%Path%;C:\\jre\\bin");
  EXPECT_EQ(searchPathText(L"", bin, kWindowsJvmPathStyle), L"%Path%;C:\\jre\\bin");
  EXPECT_EQ(searchPathText(L"/tools", L"/jdk/bin", kPosixJvmPathStyle), L"/tools:%PATH%:/jdk/bin");
}

TEST(ExpandReferences, DefinedReplacedUndefinedKept) {
  const std::map<std::wstring, std::wstring> variables{{L"A", L"alpha"}, {L"B", L"beta"}, {L"P", L"%A%"}};
  const VariableLookup lookup = [&](const std::wstring& name, std::wstring& value) {
    auto found = variables.find(name);
    if (found == variables.end()) return false;
    value = found->second;
    return true;
  };
  const struct {
    const char* name;
    std::wstring text;
    std::wstring expected;
  } cases[] = {
      {"plain", L"no references", L"no references"},
      {"defined", L"x%A%y", L"xalphay"},
      {"adjacent", L"%A%%B%", L"alphabeta"},
      {"undefined stays", L"%NOPE%\\lib", L"%NOPE%\\lib"},
      {"scan goes on after an undefined one", L"%NOPE%A%B%", L"%NOPE%Abeta"},
      {"lone percent", L"50%", L"50%"},
      {"empty name", L"%%A%", L"%%A%"},
      {"values are not expanded again", L"%P%", L"%A%"},
      {"empty", L"", L""},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(expandReferences(row.text, lookup), row.expected);
  }
}

}  // namespace
}  // namespace tarn
