// The Linux side of the launcher's paths.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "base/text.h"
#include "config/launcher_paths.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"

namespace tarn {
namespace {

// Set in the child that ModulePathPosix.LongerThanTheFirstBuffer starts: the
// file that receives the child's own module path.
const char kAnswerFile[] = "TARN_TEST_MODULE_PATH_ANSWER";

TEST(ModulePathPosix, AnswersInTheChild) {
  const char* answer = std::getenv(kAnswerFile);
  if (answer == nullptr) GTEST_SKIP() << "the child side of ModulePathPosix.LongerThanTheFirstBuffer";
  std::wstring path;
  uint32_t error = 0;
  ASSERT_TRUE(queryModulePath(path, error)) << error;
  std::ofstream(answer, std::ios::binary) << toUtf8(path);
}

// The first buffer holds 256 bytes, doubled while the path does not fit: the
// test program, linked into a folder whose path is longer than 1024 bytes,
// runs itself there and reports its path.
TEST(ModulePathPosix, LongerThanTheFirstBuffer) {
  test::TempFolder temp;
  std::filesystem::path deep = temp.path();
  for (int level = 0; level < 20; ++level) deep /= std::string(60, static_cast<char>('a' + level));
  std::filesystem::create_directories(deep);
  const std::filesystem::path copy = deep / "unit-tests-copy";
  std::error_code linked;
  std::filesystem::create_hard_link("/proc/self/exe", copy, linked);
  if (linked) std::filesystem::copy_file(std::filesystem::read_symlink("/proc/self/exe"), copy);
  ASSERT_GT(copy.string().size(), 1024u);  // two doublings and more
  const std::string answer = (temp.path() / "answer.txt").string();

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    setenv(kAnswerFile, answer.c_str(), 1);
    const std::string program = copy.string();
    execl(program.c_str(), program.c_str(), "--gtest_filter=ModulePathPosix.AnswersInTheChild", nullptr);
    _exit(127);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  std::ifstream in(answer, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), copy.string());
}

TEST(PerUserSettingsFolderPosix, LinuxKeepsNoPerUserFile) {
  // Not even where a settings folder is named; the folder given is left as
  // it was.
  test::ScopedEnvironment config(L"XDG_CONFIG_HOME", L"/cfg");
  test::ScopedEnvironment home(L"HOME", L"/home/u");
  std::wstring folder = L"unchanged";
  EXPECT_FALSE(perUserSettingsFolder(folder));
  EXPECT_EQ(folder, L"unchanged");
}

}  // namespace
}  // namespace tarn
