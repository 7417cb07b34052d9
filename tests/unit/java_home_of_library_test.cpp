// The Java home given to the application (TARN_JVM_HOME) for each place the
// layouts allow a JVM library to lie.
#include <gtest/gtest.h>

#include "discovery/java_home.h"

namespace tarn {
namespace {

TEST(JavaHomeOfJvmLibrary, EveryLayoutEntry) {
  const struct {
    const char* name;
    const JavaHomeLayout& layout;
    std::wstring library;
    std::wstring home;
  } cases[] = {
      {"Java 9+", kPosixJavaHomeLayout, L"/opt/jdk/lib/server/libjvm.so", L"/opt/jdk"},
      {"client VM", kPosixJavaHomeLayout, L"/opt/jdk/lib/client/libjvm.so", L"/opt/jdk"},
      {"Java 8 runtime", kPosixJavaHomeLayout, L"/opt/jre8/lib/amd64/server/libjvm.so", L"/opt/jre8"},
      // The kit's own runtime folder, which is what the VM reports as java.home.
      {"Java 8 development kit", kPosixJavaHomeLayout, L"/opt/jdk8/jre/lib/amd64/server/libjvm.so",
       L"/opt/jdk8/jre"},
      {"home in the current directory", kPosixJavaHomeLayout, L"lib/server/libjvm.so", L""},
      {"root home", kPosixJavaHomeLayout, L"/lib/server/libjvm.so", L""},
      {"sub-path only at a component start", kPosixJavaHomeLayout, L"/opt/mylib/server/libjvm.so", L"/opt"},
      {"unknown place", kPosixJavaHomeLayout, L"/a/b/c/d/libjvm.so", L"/a/b"},
      {"Windows server VM", kWindowsJavaHomeLayout, L"C:\\jre\\bin\\server\\jvm.dll", L"C:\\jre"},
      {"Windows Java 8 kit", kWindowsJavaHomeLayout, L"C:\\jdk\\jre\\bin\\client\\jvm.dll", L"C:\\jdk\\jre"},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(javaHomeOfJvmLibrary(row.library, row.layout), row.home);
  }
}

}  // namespace
}  // namespace tarn
