// The log file folder walk on the Linux file system.
#include "jvm/output_redirection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "base/file_system.h"
#include "support/temp_folder.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;

class LogFolderTest : public testing::Test {
 protected:
  std::wstring path(const std::string& relative) const { return root_.pathOf(relative); }
  // Every file and folder below the root.
  std::set<std::string> contents() const {
    std::set<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(root_.path())) {
      found.insert(fs::relative(entry.path(), root_.path()).string());
    }
    return found;
  }

  test::TempFolder root_;
};

TEST_F(LogFolderTest, MakesTheMissingFolders) {
  root_.makeFolder("kept");
  EXPECT_EQ(ensureParentDirectories(path("kept/a/b/out.log")), 0u);
  EXPECT_EQ(ensureParentDirectories(path("kept/a/b/out.log")), 0u);
  EXPECT_EQ(contents(), (std::set<std::string>{"kept", "kept/a", "kept/a/b"}));
}

TEST_F(LogFolderTest, AnExistingFileNeedsNothing) {
  root_.writeFile("out.log", "x");
  EXPECT_EQ(ensureParentDirectories(path("out.log")), 0u);
  EXPECT_EQ(contents(), (std::set<std::string>{"out.log"}));
}

TEST_F(LogFolderTest, AFailedWalkLeavesNothingBehind) {
  root_.writeFile("blocker", "x");
  const std::string tooLong(300, 'n');
  for (const std::string& relative : {std::string("blocker/sub/out.log"), "new/deeper/" + tooLong + "/out.log"}) {
    SCOPED_TRACE(relative.substr(0, 20));
    EXPECT_NE(ensureParentDirectories(path(relative)), 0u);
    EXPECT_EQ(contents(), (std::set<std::string>{"blocker"}));
  }
}

}  // namespace
}  // namespace tarn
