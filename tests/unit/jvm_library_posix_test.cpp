// Loading the JVM library with dlopen / dlsym.
#include <dlfcn.h>

#include <gtest/gtest.h>

#include "base/text.h"
#include "jvm/jvm_library.h"
#include "support/temp_folder.h"
#include "support/stdout_capture.h"

namespace tarn {
namespace {

// A shared library that is surely loadable and has no invocation exports.
std::string pthreadLibraryPath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&pthread_create), &info) == 0 || info.dli_fname == nullptr) return "";
  return info.dli_fname;
}

TEST(LoadJvmLibraryPosix, ReportsWhyTheLibraryCannotBeUsed) {
  test::TempFolder folder;
  const std::string missing = toUtf8(folder.pathOf("libjvm.so"));
  const std::string notALibrary = toUtf8(folder.writeFile("text.so", "this is text, not a shared object\n"));
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
    JvmEntryPoints entries;
    test::StdoutCapture capture;
    EXPECT_FALSE(loadJvmLibrary(fromUtf8(c.path), entries));
    EXPECT_EQ(capture.finish(), c.output);
    EXPECT_EQ(entries.createJavaVm, nullptr);
    EXPECT_EQ(entries.defaultInitArgs, nullptr);
  }
}

}  // namespace
}  // namespace tarn
