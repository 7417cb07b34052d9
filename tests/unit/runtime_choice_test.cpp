// The runtime sources that need no registry and no real JVM: JRE Path, the
// runtime beside the launcher, and the message when there is none.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "base/text.h"
#include "discovery/java_home.h"
#include "launcher/launcher.h"
#include "unit/stdout_capture.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;

const char kJreNotFound[] =
    "Error: The Java Runtime Environment (JRE) was not found. Please  download and install a JRE "
    "(minimum version 1.6) from: \n";
const char kServerJreNotFound[] =
    "Error: The Java Runtime Environment (JRE) was not found. Please  download and install a JRE with a server JVM "
    "(minimum version 1.6) from: \n";

// A temporary folder that is also the current directory while the test runs.
class RuntimeChoiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    folder_ = fs::temp_directory_path() / ("tarn-choice-" + std::to_string(stamp) + "-" + std::to_string(random()));
    ASSERT_TRUE(fs::create_directory(folder_));
    previous_ = fs::current_path();
    fs::current_path(folder_);
    launcher_.minVersion = parseJavaVersion(L"1.6", 0);
    launcher_.maxVersion = parseJavaVersion(L"", 65535);
  }
  void TearDown() override {
    fs::current_path(previous_);
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  // Creates <folder>/<home>/<subPath> as an empty file.
  void placeJvm(const fs::path& home, const std::wstring& subPath) {
    const fs::path file = folder_ / home / subPath;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary).put('\0');
  }

  bool choose(std::string& output) {
    test::StdoutCapture capture;
    bool chosen = launcher_.chooseJavaRuntime();
    output = capture.finish();
    return chosen;
  }

  const JavaHomeLayout& layout_ = nativeJavaHomeLayout();
  const std::wstring client_ = layout_.anyVm.front().subPath;
  Launcher launcher_;
  fs::path folder_;
  fs::path previous_;
};

TEST_F(RuntimeChoiceTest, JrePathIsAHomeWithOrWithoutItsSeparator) {
  placeJvm(L"jre", client_);
  const std::wstring home = (folder_ / L"jre").wstring();
  for (const std::wstring& jrePath : {home, home + layout_.separator}) {
    SCOPED_TRACE(toUtf8(jrePath));
    launcher_.jrePath = jrePath;
    launcher_.jvmDllPath.clear();
    std::string output;
    EXPECT_TRUE(choose(output));
    EXPECT_EQ(launcher_.jvmDllPath, home + layout_.separator + client_);
    EXPECT_EQ(output, "");
    EXPECT_FALSE(launcher_.relaunchPair);
  }
}

TEST_F(RuntimeChoiceTest, RelativeJrePathIsTakenAgainstTheCurrentDirectory) {
  placeJvm(L"rt", client_);
  launcher_.jrePath = L"rt";
  std::string output;
  EXPECT_TRUE(choose(output));
  EXPECT_EQ(launcher_.jvmDllPath, std::wstring(L"rt") + layout_.separator + client_);
}

TEST_F(RuntimeChoiceTest, JrePathWithoutAJvmOfTheTypeFallsThrough) {
  // Only a client VM, and a "server" VM is wanted: nothing else holds a
  // runtime, so the search ends with the missing-runtime text.
  placeJvm(L"jre", client_);
  launcher_.jrePath = (folder_ / L"jre").wstring();
  launcher_.jvmType = 1;
  std::string output;
  EXPECT_FALSE(choose(output));
  EXPECT_EQ(launcher_.jvmDllPath, L"");
  EXPECT_EQ(output, kServerJreNotFound);
}

TEST_F(RuntimeChoiceTest, AJvmInTheCurrentDirectoryIsNotTakenWithoutJrePath) {
  // The launcher's folder (the test's) holds no runtime; the current
  // directory holds one for every JVM type.
  for (const JvmLibraryCandidate& candidate : layout_.anyVm) placeJvm(L"", candidate.subPath);
  placeJvm(L"", layout_.runtimeMarker);
  for (int32_t jvmType : {0, 1, 2}) {
    SCOPED_TRACE(jvmType);
    launcher_.jvmType = jvmType;
    std::string output;
    EXPECT_FALSE(choose(output));
    EXPECT_EQ(launcher_.jvmDllPath, L"");
    EXPECT_EQ(output, jvmType == 1 ? kServerJreNotFound : kJreNotFound);
  }
}

TEST_F(RuntimeChoiceTest, PrivateRuntimeHomeIsTheLaunchersFolder) {
  std::wstring folder;
  ASSERT_TRUE(launcher_.moduleFolder(folder));
  std::wstring home;
  ASSERT_TRUE(launcher_.findPrivateRuntime(home));
  // The test's folder holds no runtime, and no bundled one either.
  EXPECT_EQ(home, folder);
}

}  // namespace
}  // namespace tarn
