// The Linux back end of the class path and environment: directory searches
// with fnmatch, %NAME% expansion from the process environment, and the
// assembly with the Linux separators.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "config/launcher_paths.h"
#include "jvm/jvm_configuration.h"
#include "launcher/launcher.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "tarn-cp-XXXXXX").string();
    path_ = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  std::wstring path() const { return fs::path(path_).wstring(); }
  void touch(const std::string& name) const {
    fs::create_directories(fs::path(path_ + "/" + name).parent_path());
    std::ofstream(path_ + "/" + name).put('x');
  }

 private:
  std::string path_;
};

std::vector<std::wstring> sorted(std::vector<std::wstring> names) {
  std::sort(names.begin(), names.end());
  return names;
}

TEST(MatchingNamesPosix, WildcardsOnTheLastComponentOnly) {
  TempFolder temp;
  for (const char* name : {"a.jar", "b.jar", "notes.txt", "[x].jar", "lib/c.jar"}) temp.touch(name);
  const struct {
    const char* name;
    std::wstring pattern;
    std::vector<std::wstring> names;
  } cases[] = {
      {"star", L"/*.jar", {L"[x].jar", L"a.jar", L"b.jar"}},
      {"question mark", L"/?.jar", {L"a.jar", L"b.jar"}},
      {"brackets match themselves", L"/[x].jar", {L"[x].jar"}},
      {"plain name", L"/notes.txt", {L"notes.txt"}},
      {"missing", L"/missing.jar", {}},
      {"missing folder", L"/nowhere/*", {}},
      {"subfolder", L"/lib/*", {L".", L"..", L"c.jar"}},
      {"trailing separator", L"/lib/", {}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(sorted(matchingNames(temp.path() + row.pattern)), row.names);
  }
}

TEST(ExpandEnvironmentPosix, ReadsTheProcessEnvironment) {
  setenv("TARN_TEST_HOME", "/opt/h\xC3\xA9", 1);
  unsetenv("TARN_TEST_UNSET");
  std::wstring text = L"%TARN_TEST_HOME%/lib:%TARN_TEST_UNSET%:%tarn_test_home%";
  expandEnvironment(text);
  EXPECT_EQ(text, L"/opt/h\u00e9/lib:%TARN_TEST_UNSET%:%tarn_test_home%");
  unsetenv("TARN_TEST_HOME");
}

TEST(AssembleJvmConfigurationPosix, ColonSeparatedClassPath) {
  std::wstring executable;
  std::wstring iniPath;
  uint32_t error = 0;
  ASSERT_TRUE(queryModulePath(executable, error));
  ASSERT_TRUE(configPathFor(executable, nativePathStyle(), iniPath));
  const std::wstring folderName = L"tarn-cp-" + std::to_wstring(getpid());
  const fs::path folder = fs::path(launcherDirectoryOf(executable, kPosixJvmPathStyle)) / folderName;
  fs::create_directories(folder / "lib");
  std::ofstream(folder / "lib" / "a.jar").put('x');
  {
    std::ofstream ini(fs::path(iniPath), std::ios::trunc);
    ini << "[Class Path]\nClass Path=" << fs::path(folderName).string() << "/lib/*.jar;;/opt/missing.jar\n";
  }

  Launcher launcher;
  launcher.assembleJvmConfiguration();
  std::error_code ignored;
  fs::remove(fs::path(iniPath), ignored);
  fs::remove_all(folder, ignored);

  const std::string expected = "-Djava.class.path=" + (folder / "lib" / "a.jar").string() + ":/opt/missing.jar:";
  EXPECT_EQ(launcher.jvmOptions.options(), std::vector<std::string>{expected});
}

}  // namespace
}  // namespace tarn
