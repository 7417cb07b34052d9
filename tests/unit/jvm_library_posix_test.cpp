// Loading the JVM library with dlopen / dlsym.
#include <dlfcn.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/text.h"
#include "launcher/launcher.h"
#include "unit/stdout_capture.h"

namespace tarn {
namespace {

// A shared library that is surely loadable and has no invocation exports.
std::string pthreadLibraryPath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&pthread_create), &info) == 0 || info.dli_fname == nullptr) return "";
  return info.dli_fname;
}

TEST(LoadJvmLibraryPosix, ReportsWhyTheLibraryCannotBeUsed) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path();
  const std::string missing = (folder / "tarn-no-such-libjvm.so").string();
  const std::string notALibrary = (folder / "tarn-not-a-library.so").string();
  std::ofstream(notALibrary) << "this is text, not a shared object\n";
  const std::string withoutExports = pthreadLibraryPath();
  ASSERT_FALSE(withoutExports.empty());

  const struct {
    const char* name;
    std::string path;
    std::string output;
  } cases[] = {
      {"missing file", missing, "Error: Failed to load Java VM library: " + missing + " (errno = 2).\n \n"},
      {"file that is not a library", notALibrary,
       "Error: Failed to load Java VM library: " + notALibrary + " (errno = 8).\n \n"},
      {"library without the invocation exports", withoutExports,
       "Error: Windows exception: cannot find CreateJavaVM JNI (errno = 0).\n \n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Launcher launcher;
    test::StdoutCapture capture;
    EXPECT_FALSE(launcher.loadJvmLibrary(fromUtf8(c.path)));
    EXPECT_EQ(capture.finish(), c.output);
    EXPECT_EQ(launcher.createJavaVmEntry, nullptr);
  }
  std::filesystem::remove(notALibrary);
}

}  // namespace
}  // namespace tarn
