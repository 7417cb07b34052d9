// The log file folder walk on the Linux file system.
#include "jvm/output_redirection.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace tarn {
namespace {

namespace fs = std::filesystem;

class LogFolderTest : public testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("tarn-logs-" + std::to_string(::getpid()));
    fs::remove_all(root_);
    fs::create_directory(root_);
  }
  void TearDown() override { fs::remove_all(root_); }

  std::wstring path(const std::string& relative) const { return (root_ / relative).wstring(); }
  std::set<std::string> contents() const {
    std::set<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(root_)) {
      found.insert(fs::relative(entry.path(), root_).string());
    }
    return found;
  }

  fs::path root_;
};

TEST_F(LogFolderTest, MakesTheMissingFolders) {
  fs::create_directory(root_ / "kept");
  EXPECT_EQ(ensureParentDirectories(path("kept/a/b/out.log")), 0u);
  EXPECT_EQ(ensureParentDirectories(path("kept/a/b/out.log")), 0u);
  EXPECT_EQ(contents(), (std::set<std::string>{"kept", "kept/a", "kept/a/b"}));
}

TEST_F(LogFolderTest, AnExistingFileNeedsNothing) {
  std::ofstream(root_ / "out.log").put('x');
  EXPECT_EQ(ensureParentDirectories(path("out.log")), 0u);
  EXPECT_EQ(contents(), (std::set<std::string>{"out.log"}));
}

TEST_F(LogFolderTest, AFailedWalkLeavesNothingBehind) {
  std::ofstream(root_ / "blocker").put('x');
  const std::string tooLong(300, 'n');
  for (const std::string& relative : {std::string("blocker/sub/out.log"), "new/deeper/" + tooLong + "/out.log"}) {
    SCOPED_TRACE(relative.substr(0, 20));
    EXPECT_NE(ensureParentDirectories(path(relative)), 0u);
    EXPECT_EQ(contents(), (std::set<std::string>{"blocker"}));
  }
}

}  // namespace
}  // namespace tarn
