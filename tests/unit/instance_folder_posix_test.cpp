// The folder of the single-instance guard's lock and socket on Linux.
#include "run/instance_folder_posix.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/temp_folder.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;

mode_t modeOf(const std::string& path) {
  struct stat status;
  return lstat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

// A runtime directory and a shared temporary folder, each prepared by a row.
struct Layout {
  test::TempFolder temp;
  std::string runtime = (temp.path() / "runtime").string();
  std::string shared = (temp.path() / "tmp").string();
  std::string fallback = shared + "/tarn-" + std::to_string(geteuid());
  Layout() {
    fs::create_directory(runtime);
    fs::create_directory(shared);
    chmod(runtime.c_str(), 0700);
  }
};

TEST(PrivateInstanceFolder, TheRuntimeDirectoryWhenItIsTheUsersAlone) {
  Layout layout;
  EXPECT_EQ(privateInstanceFolder(layout.runtime.c_str(), layout.shared), layout.runtime + "/tarn");
  EXPECT_EQ(modeOf(layout.runtime + "/tarn"), 0700u);
  // Found again as it was left.
  EXPECT_EQ(privateInstanceFolder(layout.runtime.c_str(), layout.shared), layout.runtime + "/tarn");
}

TEST(PrivateInstanceFolder, TheSharedFolderOtherwise) {
  struct Case {
    const char* row;
    void (*prepare)(const Layout& layout);
    bool relativeRuntime;
  };
  const Case cases[] = {
      {"no runtime directory", [](const Layout& layout) { fs::remove(layout.runtime); }, false},
      {"runtime directory open to others", [](const Layout& layout) { chmod(layout.runtime.c_str(), 0755); }, false},
      {"runtime directory relative", [](const Layout&) {}, true},
      {"its tarn folder open to others",
       [](const Layout& layout) {
         fs::create_directory(layout.runtime + "/tarn");
         chmod((layout.runtime + "/tarn").c_str(), 0770);
       },
       false},
      {"its tarn folder a link to a private folder",
       [](const Layout& layout) {
         fs::create_directory(layout.runtime + "/elsewhere");
         chmod((layout.runtime + "/elsewhere").c_str(), 0700);
         fs::create_directory_symlink(layout.runtime + "/elsewhere", layout.runtime + "/tarn");
       },
       false},
      {"its tarn folder a file", [](const Layout& layout) { std::ofstream(layout.runtime + "/tarn") << "x"; }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    Layout layout;
    c.prepare(layout);
    const std::string runtime = c.relativeRuntime ? "runtime" : layout.runtime;
    EXPECT_EQ(privateInstanceFolder(runtime.c_str(), layout.shared), layout.fallback);
    EXPECT_EQ(modeOf(layout.fallback), 0700u);
  }
  Layout layout;
  EXPECT_EQ(privateInstanceFolder(nullptr, layout.shared), layout.fallback);
}

TEST(PrivateInstanceFolder, NoneWhenTheSharedOneIsNotPrivateEither) {
  const struct {
    const char* row;
    mode_t mode;
  } cases[] = {{"group may enter", 0750}, {"others may read", 0704}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.row);
    Layout layout;
    fs::create_directory(layout.fallback);
    chmod(layout.fallback.c_str(), c.mode);
    EXPECT_EQ(privateInstanceFolder(nullptr, layout.shared), "");
    // Left as it was: the guard does not take over a folder someone made.
    EXPECT_EQ(modeOf(layout.fallback), c.mode);
  }
}

TEST(PrivateInstanceFolder, NoneWhenAnotherUserOwnsIt) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can give a folder to another user";
  Layout layout;
  fs::create_directory(layout.fallback);
  chmod(layout.fallback.c_str(), 0700);
  ASSERT_EQ(chown(layout.fallback.c_str(), 65534, 65534), 0);
  EXPECT_EQ(privateInstanceFolder(nullptr, layout.shared), "");
}

}  // namespace
}  // namespace tarn
