#include <sys/stat.h>

#include <gtest/gtest.h>

#include <string>

#include "stamper/stamp_command.h"
#include "support/temp_folder.h"
#include "unit/stamper_fixtures.h"

namespace tarn::stamper {
namespace {

// The rename would put the stamped file in place of a pipe (or a device
// such as /dev/null): such an output is refused and stays what it was.
TEST(StampCommandPosix, RefusesAnOutputThatIsAPipe) {
  test::TempFolder folder;
  const std::wstring input = folder.writeFile("run.exe", test::buildPe(test::PeFixture{}));
  const std::string pipe = (folder.path() / "pipe").string();
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(runStampCommand({input, folder.pathOf("pipe")}), kStampRefused);
  struct stat status {};
  ASSERT_EQ(::lstat(pipe.c_str(), &status), 0);
  EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

}  // namespace
}  // namespace tarn::stamper
