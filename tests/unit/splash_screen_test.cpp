// Where the splash image and the runtime's splash-screen library are looked for.
#include "jvm/splash_screen.h"

#include <gtest/gtest.h>

#include "support/scoped_environment.h"

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

TEST(SplashScreen, TheImageBelowTheLauncherFolderUnlessAbsolute) {
  test::ScopedEnvironment images(L"TARN_TEST_IMAGES", L"C:\\art");
  const struct {
    const char* name;
    std::wstring configured;
    const PathStyle& style;
    std::wstring path;
  } cases[] = {
      {"relative", L"splash.png", kWindowsPathStyle, L"C:\\app\\splash.png"},
      {"a leading backslash", L"\\img\\splash.png", kWindowsPathStyle, L"C:\\app\\img\\splash.png"},
      {"absolute", L"D:\\splash.png", kWindowsPathStyle, L"D:\\splash.png"},
      {"a reference", L"%TARN_TEST_IMAGES%\\splash.png", kWindowsPathStyle, L"C:\\art\\splash.png"},
      {"Linux, relative", L"img/splash.png", kPosixPathStyle, L"C:\\app/img/splash.png"},
      {"Linux, absolute", L"/usr/share/app/splash.png", kPosixPathStyle, L"/usr/share/app/splash.png"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(splashImagePath(c.configured, L"C:\\app", c.style), c.path);
  }
}

}  // namespace
}  // namespace tarn
