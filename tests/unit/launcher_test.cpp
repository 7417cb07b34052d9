// The run flow up to the loading of the JVM library, which is as far as a
// unit test can follow it: the configuration file beside this test
// executable, runtimes whose JVM library is a text file, and what a run
// leaves behind in the process (exit code, error lines, environment,
// current directory). Creating the VM and running main are covered by the
// end-to-end scenarios.
#include "launcher/launcher.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "base/path.h"
#include "base/text.h"
#include "config/launcher_paths.h"
#include "discovery/java_home.h"
#include "jvm/jvm_configuration.h"
#include "jvm/search_paths.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"
#include "support/stdout_capture.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;

const char kMainClassMissing[] = "Error: Main class was not specified in INI file. \n";
const char kLoadFailed[] = "Error: Failed to load Java VM library: ";

class LauncherRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(findLauncherPaths(paths_));
    // Named after the temporary folder, which no other run shares.
    besideLauncher_ = L"jre-" + elsewhere_.path().filename().wstring();
  }

  void TearDown() override {
    std::error_code ignored;
    fs::remove(fs::path(paths_.configFile), ignored);
    if (!besideLauncher_.empty()) fs::remove_all(fs::path(paths_.folder + besideLauncher_), ignored);
  }

  void writeIni(const std::vector<std::wstring>& lines) const {
    std::ofstream out(fs::path(paths_.configFile), std::ios::binary | std::ios::trunc);
    for (const std::wstring& line : lines) out << toUtf8(line) << "\r\n";
  }

  // A runtime home whose JVM library (at the layout's sub-path) is a text
  // file; returns the library's path.
  static std::wstring makeRuntime(const std::wstring& home, const std::wstring& subPath) {
    const fs::path library = fs::path(withTrailingSeparator(home, nativePathStyle().separator) + subPath);
    fs::create_directories(library.parent_path());
    std::ofstream(library) << "no library\n";
    return library.wstring();
  }

  static std::wstring serverVm() { return nativeJavaHomeLayout().serverVm.front().subPath; }
  static std::wstring clientVm() { return nativeJavaHomeLayout().anyVm.front().subPath; }

  int32_t run(std::string& output) {
    test::StdoutCapture capture;
    const int32_t code = Launcher({L"first"}).run();
    output = capture.finish();
    return code;
  }

  LauncherPaths paths_;
  // The current directory of every run, unless the run moves it.
  test::TempFolder elsewhere_;
  test::CurrentDirectory current_{elsewhere_.path()};
  // A runtime folder beside the test executable, for relative JRE Paths.
  std::wstring besideLauncher_;
  // What the run publishes for the chosen runtime.
  test::ScopedEnvironment searchPath_{nativePathStyle().searchPathVariable,
                                      test::environmentValue(nativePathStyle().searchPathVariable)};
  test::ScopedEnvironment jvmPath_{L"TARN_JVM_PATH", std::nullopt};
  test::ScopedEnvironment jvmHome_{L"TARN_JVM_HOME", std::nullopt};
};

TEST_F(LauncherRun, WithoutAMainClassNothingIsPrepared) {
  const std::wstring runtime = elsewhere_.pathOf("jre");
  makeRuntime(runtime, serverVm());
  const struct {
    const char* name;
    std::optional<std::vector<std::wstring>> ini;
  } cases[] = {
      {"no configuration file", std::nullopt},
      {"no Main Class key", std::vector<std::wstring>{L"[Java Runtime Environment]", L"JRE Path=" + runtime,
                                                      L"[Application]", L"Override WorkingDir=yes"}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    std::error_code ignored;
    fs::remove(fs::path(paths_.configFile), ignored);
    if (row.ini) writeIni(*row.ini);
    std::string output;
    EXPECT_EQ(run(output), -1);
    EXPECT_EQ(output, kMainClassMissing);
    EXPECT_EQ(test::environmentValue(L"TARN_JVM_PATH"), std::nullopt);
    EXPECT_TRUE(fs::equivalent(fs::current_path(), elsewhere_.path()));
  }
}

TEST_F(LauncherRun, PublishesTheRuntimeBeforeLoadingItsLibrary) {
  const std::wstring home = elsewhere_.pathOf("jre");
  const std::wstring library = makeRuntime(home, serverVm());
  writeIni({L"[Java Runtime Environment]", L"Main Class=com.example.App", L"JRE Path=" + home});
  std::string output;
  EXPECT_EQ(run(output), -1);
  EXPECT_EQ(output.rfind(kLoadFailed + toUtf8(library) + " (", 0), 0u) << output;
  EXPECT_EQ(test::environmentValue(L"TARN_JVM_PATH"), library);
  EXPECT_EQ(test::environmentValue(L"TARN_JVM_HOME"), home);
  const std::optional<std::wstring> searchPath = test::environmentValue(nativePathStyle().searchPathVariable);
  ASSERT_TRUE(searchPath);
  const std::wstring bin = runtimeBinFolderOf(library);
  EXPECT_EQ(searchPath->substr(searchPath->size() - bin.size()), bin);
}

// Override WorkingDir moves to the launcher's folder before the runtime
// search, so that a relative JRE Path is taken against that folder. The
// same relative name holds a client VM beside the launcher and a server VM
// in the current directory: the library the run tries to load tells which
// folder it searched.
TEST_F(LauncherRun, OverrideWorkingDirMovesBeforeTheRuntimeSearch) {
  const std::wstring client = makeRuntime(paths_.folder + besideLauncher_, clientVm());
  const std::wstring server = makeRuntime(elsewhere_.pathOf(besideLauncher_), serverVm());
  const struct {
    const char* name;
    const wchar_t* value;
    std::wstring library;  // by its full path
    fs::path currentDirectory;
  } cases[] = {
      {"on", L"Yes", client, fs::path(parentFolder(paths_.executable, nativePathStyle().separator))},
      {"off", L"No", server, elsewhere_.path()},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    test::CurrentDirectory current(elsewhere_.path());
    writeIni({L"[Java Runtime Environment]", L"Main Class=com.example.App", L"JRE Path=" + besideLauncher_,
              L"[Application]", std::wstring(L"Override WorkingDir=") + row.value});
    std::string output;
    EXPECT_EQ(run(output), -1);
    EXPECT_EQ(output.rfind(kLoadFailed + toUtf8(row.library) + " (", 0), 0u) << output;
    EXPECT_TRUE(fs::equivalent(fs::current_path(), row.currentDirectory));
  }
}

}  // namespace
}  // namespace tarn
