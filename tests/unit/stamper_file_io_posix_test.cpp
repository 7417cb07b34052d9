#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "stamper/file_io.h"
#include "support/temp_folder.h"

namespace tarn::stamper {
namespace {

mode_t modeOf(const std::filesystem::path& path) {
  struct stat status {};
  EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
  return status.st_mode;
}

// The new output takes the old output's permissions, but never a setuid or
// setgid bit, and never those of a file that a link at the output names.
TEST(StamperFileIoPosix, KeepsPermissionsButNoSetuidOrSetgid) {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  const struct {
    const char* name;
    bool link;  // the output is a link to the file
    mode_t mode;
    mode_t expected;
  } cases[] = {
      {"a plain file", false, 0750, 0750},
      {"a setuid file", false, 04755, 0755},
      {"a setgid file", false, 02711, 0711},
      {"a link to a setuid file", true, 06755, static_cast<mode_t>(0777 & ~mask)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempFolder folder;
    const std::filesystem::path file = folder.path() / "tool";
    folder.writeFile("tool", "the tool");
    ASSERT_EQ(::chmod(file.c_str(), c.mode), 0);
    ASSERT_EQ(modeOf(file) & 07777, c.mode);  // the bits took
    std::filesystem::path output = file;
    if (c.link) {
      output = folder.path() / "run.exe";
      std::filesystem::create_symlink(file, output);
    }
    std::wstring why;
    ASSERT_TRUE(replaceFile(output.wstring(), "stamped", why));
    const mode_t mode = modeOf(output);
    EXPECT_TRUE(S_ISREG(mode));
    EXPECT_EQ(mode & 07777, c.expected);
    if (c.link) {
      // The link was replaced; what it named is untouched.
      EXPECT_EQ(modeOf(file) & 07777, c.mode);
      std::string bytes;
      ASSERT_TRUE(readWholeFile(file.wstring(), bytes, why));
      EXPECT_EQ(bytes, "the tool");
    }
  }
}

}  // namespace
}  // namespace tarn::stamper
