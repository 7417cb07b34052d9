// Where the runtime's splash-screen library is looked for.
#include "jvm/splash_screen.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

TEST(SplashScreen, TheLibraryBesideTheVmLibrarysFolder) {
  const struct {
    const char* name;
    std::wstring jvmLibrary;
    const PathStyle& style;
    std::wstring library;
  } cases[] = {
      {"Windows", L"C:\\jre\\bin\\server\\jvm.dll", kWindowsPathStyle, L"C:\\jre\\bin\\splashscreen.dll"},
      {"Linux", L"/opt/jdk/lib/server/libjvm.so", kPosixPathStyle, L"/opt/jdk/lib/libsplashscreen.so"},
      {"Linux, Java 8", L"/opt/jdk/jre/lib/amd64/server/libjvm.so", kPosixPathStyle,
       L"/opt/jdk/jre/lib/amd64/libsplashscreen.so"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(splashLibraryOf(c.jvmLibrary, c.style), c.library);
  }
}

}  // namespace
}  // namespace tarn
