// The Linux back end of the class path and environment: directory searches
// with fnmatch, %NAME% expansion from the process environment, and the
// variables published for the chosen runtime.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/environment.h"
#include "base/file_system.h"
#include "jvm/class_path.h"
#include "jvm/jvm_configuration.h"
#include "jvm/search_paths.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"

namespace tarn {
namespace {

std::vector<std::wstring> sorted(std::vector<std::wstring> names) {
  std::sort(names.begin(), names.end());
  return names;
}

TEST(MatchingNamesPosix, WildcardsOnTheLastComponentOnly) {
  test::TempFolder temp;
  for (const char* name : {"a.jar", "b.jar", "notes.txt", "[x].jar", "lib/c.jar"}) temp.writeFile(name, "x");
  std::filesystem::create_symlink(temp.path() / "gone", temp.path() / "dangling");
  const struct {
    const char* name;
    std::wstring pattern;
    std::vector<std::wstring> names;
  } cases[] = {
      {"star", L"/*.jar", {L"[x].jar", L"a.jar", L"b.jar"}},
      {"question mark", L"/?.jar", {L"a.jar", L"b.jar"}},
      {"brackets match themselves", L"/[x].jar", {L"[x].jar"}},
      {"plain name", L"/notes.txt", {L"notes.txt"}},
      {"plain name of a link to nothing", L"/dangling", {L"dangling"}},
      {"plain name below a file", L"/notes.txt/x", {}},
      {"missing", L"/missing.jar", {}},
      {"missing folder", L"/nowhere/*", {}},
      {"subfolder", L"/lib/*", {L".", L"..", L"c.jar"}},
      {"trailing separator", L"/lib/", {}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(sorted(matchingNames(temp.path().wstring() + row.pattern)), row.names);
  }
}

TEST(ExpandEnvironmentPosix, ReadsTheProcessEnvironment) {
  test::ScopedEnvironment home(L"TARN_TEST_HOME", std::wstring(L"/opt/h\u00e9"));
  test::ScopedEnvironment unset(L"TARN_TEST_UNSET", std::nullopt);
  std::wstring text = L"%TARN_TEST_HOME%/lib:%TARN_TEST_UNSET%:%tarn_test_home%";
  expandEnvironment(text);
  EXPECT_EQ(text, L"/opt/h\u00e9/lib:%TARN_TEST_UNSET%:%tarn_test_home%");
}

// The variables published for the chosen library, and PATH with the Linux
// separator: the system path first, the runtime's bin folder last. The
// library path option is composed with the old PATH.
TEST(PrepareJvmEnvironmentPosix, PublishesTheRuntimeAndRewritesThePath) {
  test::ScopedEnvironment jvmPath(L"TARN_JVM_PATH", std::nullopt);
  test::ScopedEnvironment jvmHome(L"TARN_JVM_HOME", std::nullopt);
  test::ScopedEnvironment home(L"TARN_TEST_HOME", std::wstring(L"/home/h\u00e9"));
  const struct {
    const char* name;
    std::wstring libraryPath;
    std::vector<std::string> options;
  } cases[] = {
      {"no library path: no option", L"", {}},
      {"library path", L"%TARN_TEST_HOME%/native",
       {"-Djava.library.path=/home/h\xC3\xA9/native:/opt/app/:.:/old:/older:/opt/jdk/lib"}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    test::ScopedEnvironment path(L"PATH", std::wstring(L"/old:/older"));
    Settings settings;
    settings.systemPath = L"/tools:%TARN_TEST_HOME%";
    settings.libraryPath = row.libraryPath;
    LauncherPaths paths;
    paths.executable = L"/opt/app/run";
    paths.folder = L"/opt/app/";
    VmSetup setup;
    prepareJvmEnvironment(L"/opt/jdk/lib/server/libjvm.so", settings, paths, setup);
    EXPECT_EQ(setup.options.options(), row.options);
    EXPECT_STREQ(getenv("TARN_JVM_PATH"), "/opt/jdk/lib/server/libjvm.so");
    EXPECT_STREQ(getenv("TARN_JVM_HOME"), "/opt/jdk");
    EXPECT_STREQ(getenv("PATH"), "/tools:/home/h\xC3\xA9:/old:/older:/opt/jdk/bin");
  }
}

}  // namespace
}  // namespace tarn
