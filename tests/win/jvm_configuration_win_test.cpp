// Class path, library path and environment on the real Windows API: the
// environment expansion, directory searches on real folders, the variables
// the launcher publishes, and a class path longer than any expansion buffer.
#include "jvm/jvm_configuration.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "base/environment.h"
#include "base/text.h"
#include "jvm/class_path.h"
#include "jvm/jvm_parameters.h"
#include "jvm/search_paths.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"
#include "support/stdout_capture.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;

std::wstring environment(const wchar_t* name) {
  std::wstring value;
  return readEnvironmentVariable(name, value) ? value : L"<unset>";
}

// A folder removed with everything in it at the end of the test; every
// step goes through the "\\?\" form, so its contents may lie beyond the
// short path limit.
class LongPathFolder {
 public:
  explicit LongPathFolder(std::wstring path) : path_(std::move(path)) { fs::create_directories(long_(path_)); }
  ~LongPathFolder() {
    std::error_code ignored;
    fs::remove_all(long_(path_), ignored);
  }
  const std::wstring& path() const { return path_; }
  void touch(const std::wstring& name) const { std::ofstream(long_(path_ + L"\\" + name)).put('x'); }
  void folder(const std::wstring& name) const { fs::create_directories(long_(path_ + L"\\" + name)); }

 private:
  static fs::path long_(const std::wstring& path) { return fs::path(L"\\\\?\\" + path); }
  std::wstring path_;
};

std::wstring tempFolderPath(const wchar_t* name) {
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  return std::wstring(base) + name + std::to_wstring(GetCurrentProcessId());
}

std::string narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

TEST(ExpandEnvironmentWin, DefinedUndefinedAndLongValues) {
  const std::wstring longValue = L"C:\\" + std::wstring(300, L'v');
  const std::wstring hugeValue(20000, L'h');
  test::ScopedEnvironment a(L"TARN_TEST_A", std::wstring(L"alpha"));
  test::ScopedEnvironment longVariable(L"TARN_TEST_LONG", longValue);
  test::ScopedEnvironment huge(L"TARN_TEST_HUGE", hugeValue);
  test::ScopedEnvironment unset(L"TARN_TEST_UNSET", std::nullopt);
  const std::wstring longText(40000, L'x');
  const struct {
    const char* name;
    std::wstring text;
    std::wstring expected;
  } cases[] = {
      {"defined", L"%TARN_TEST_A%\\lib", L"alpha\\lib"},
      {"names ignore case", L"%tarn_test_a%", L"alpha"},
      {"undefined stays", L"%TARN_TEST_UNSET%\\x.jar", L"%TARN_TEST_UNSET%\\x.jar"},
      {"lone percent", L"50%", L"50%"},
      {"value longer than a path", L"%TARN_TEST_LONG%\\lib", longValue + L"\\lib"},
      {"expansion beyond 32767 characters", L"%TARN_TEST_HUGE%;%TARN_TEST_HUGE%", hugeValue + L";" + hugeValue},
      {"text beyond 32767 characters", L"%TARN_TEST_A%" + longText + L"%TARN_TEST_UNSET%%TARN_TEST_A%",
       L"alpha" + longText + L"%TARN_TEST_UNSET%alpha"},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    std::wstring text = row.text;
    expandEnvironment(text);
    EXPECT_EQ(text.size(), row.expected.size());
    EXPECT_TRUE(text == row.expected);
  }
}

TEST(JvmCodePageWin, FollowsTheCallingThreadsLocale) {
  const LCID saved = GetThreadLocale();
  ASSERT_TRUE(SetThreadLocale(MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), SORT_DEFAULT)));
  // Code page 1251: Cyrillic Zhe is 0xC6; a character it lacks gets the replacement.
  const std::string cyrillic = toJvmCodePage(L"-Dname=\u0416");
  const std::string missing = toJvmCodePage(L"\u4E2D");
  SetThreadLocale(saved);
  EXPECT_EQ(cyrillic, "-Dname=\xC6");
  EXPECT_EQ(missing, "?");
}

class ClassPathEntryWin : public ::testing::Test {
 protected:
  ClassPathEntryWin() : app_(tempFolderPath(L"tarn-entry-")) {
    app_.folder(L"lib");
    for (const wchar_t* name : {L"lib\\a.jar", L"lib\\b.jar", L"lib\\notes.txt"}) app_.touch(name);
    app_.folder(L"classes");
  }

  std::wstring expand(const std::wstring& entry) const {
    std::wstring classPath;
    expandClassPathEntry(entry, app_.path(), classPath);
    return classPath;
  }

  LongPathFolder app_;
};

TEST_F(ClassPathEntryWin, SearchesTheFileSystem) {
  const std::wstring lib = app_.path() + L"\\lib\\";
  const struct {
    const char* name;
    std::wstring entry;
    std::wstring classPath;
  } cases[] = {
      {"relative wildcard", L"\\lib\\*.jar", lib + L"a.jar;" + lib + L"b.jar;"},
      {"absolute wildcard", app_.path() + L"\\lib\\*.jar", lib + L"a.jar;" + lib + L"b.jar;"},
      {"relative file", L"\\lib\\notes.txt", lib + L"notes.txt;"},
      {"relative folder", L"\\classes", app_.path() + L"\\classes;"},
      {"relative missing file", L"\\lib\\missing.jar", L""},
      {"absolute missing folder", app_.path() + L"\\nowhere\\*.jar", L""},
      {"star gives . and .. too",
       L"\\lib\\*",
       lib + L".;" + lib + L"..;" + lib + L"a.jar;" + lib + L"b.jar;" + lib + L"notes.txt;"},
      {"empty entry", L"", L""},
      {"trailing separator", L"\\lib\\", L""},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(expand(row.entry), row.classPath);
  }
}

TEST_F(ClassPathEntryWin, FindsFilesBeyondTheShortPathLimit) {
  std::wstring relative;
  while (app_.path().size() + relative.size() < 300) relative += L"\\" + std::wstring(50, L'd');
  app_.folder(relative.substr(1));
  app_.touch(relative.substr(1) + L"\\deep.jar");
  const std::wstring expected = app_.path() + relative + L"\\deep.jar;";
  EXPECT_EQ(expand(relative + L"\\*.jar"), expected);
  EXPECT_EQ(expand(app_.path() + relative + L"\\*.jar"), expected);
}

class JvmEnvironmentWin : public ::testing::Test {
 protected:
  JvmEnvironmentWin() {
    paths_.executable = L"C:\\app\\run.exe";
    paths_.folder = L"C:\\app\\";
  }

  void prepare() { prepareJvmEnvironment(L"C:\\jre\\bin\\server\\jvm.dll", settings_, paths_, setup_); }

  test::ScopedEnvironment path_{L"Path", std::wstring(L"C:\\old;C:\\older")};
  test::ScopedEnvironment jvmPath_{L"TARN_JVM_PATH", std::nullopt};
  test::ScopedEnvironment jvmHome_{L"TARN_JVM_HOME", std::nullopt};
  test::ScopedEnvironment home_{L"TARN_TEST_HOME", std::wstring(L"C:\\home")};
  Settings settings_;
  LauncherPaths paths_;
  VmSetup setup_;
};

TEST_F(JvmEnvironmentWin, PublishesTheRuntimeAndRewritesThePath) {
  settings_.systemPath = L"C:\\tools;%TARN_TEST_HOME%";
  prepare();
  EXPECT_EQ(environment(L"TARN_JVM_PATH"), L"C:\\jre\\bin\\server\\jvm.dll");
  EXPECT_EQ(environment(L"TARN_JVM_HOME"), L"C:\\jre");
  EXPECT_EQ(environment(L"Path"), L"C:\\tools;C:\\home;C:\\old;C:\\older;C:\\jre\\bin");
  // No Library Path: no option.
  EXPECT_TRUE(setup_.options.empty());
}

TEST_F(JvmEnvironmentWin, LibraryPathOptionUsesTheOldPath) {
  settings_.libraryPath = L"%TARN_TEST_HOME%\\native";
  prepare();
  EXPECT_EQ(setup_.options.options(),
            std::vector<std::string>{"-Djava.library.path=C:\\home\\native;C:\\app\\;.;C:\\old;C:\\older;C:\\jre\\lib"});
  EXPECT_EQ(environment(L"Path"), L"C:\\old;C:\\older;C:\\jre\\bin");
}

// An undefined reference keeps its "%" through both expansions (the entry's
// and the option's), however long the option grows.
TEST(AssembleWin, TenThousandEntries) {
  test::ScopedEnvironment unset(L"TARN_TEST_UNSET", std::nullopt);
  test::TempFolder launcherFolder;
  launcherFolder.writeFile(L"lib\\a.jar", "x");
  LauncherPaths paths;
  paths.executable = launcherFolder.pathOf(L"run.exe");
  paths.folder = launcherFolder.path().wstring() + L"\\";
  Settings settings;
  std::string expected = "-Djava.class.path=";
  char entry[32];
  for (int i = 0; i < 10000; ++i) {
    std::snprintf(entry, sizeof entry, "C:\\libs\\jar%05d.jar", i);
    settings.classPath += fromUtf8(entry) + L";";
    expected += std::string(entry) + ";";
  }
  settings.classPath += L"C:\\%TARN_TEST_UNSET%\\z.jar;\\lib\\a.jar";
  expected += "C:\\%TARN_TEST_UNSET%\\z.jar;" + narrow(launcherFolder.pathOf(L"lib\\a.jar"));
  VmSetup setup;
  std::vector<std::wstring> arguments;
  test::StdoutCapture capture;
  assembleJvmConfiguration(assembleClassPath(settings, paths), settings, setup, arguments);
  EXPECT_EQ(capture.finish(), "");
  // The class path, then the two launcher properties.
  ASSERT_EQ(setup.options.options().size(), 3u);
  EXPECT_EQ(setup.options.options()[0].size(), expected.size());
  EXPECT_TRUE(setup.options.options()[0] == expected);
}

}  // namespace
}  // namespace tarn
