// Loading the JVM library with the real LoadLibraryW / GetProcAddress.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/text.h"
#include "jvm/jvm_library.h"
#include "support/temp_folder.h"
#include "support/stdout_capture.h"

namespace tarn {
namespace {

std::wstring systemFolder() {
  wchar_t folder[MAX_PATH + 1];
  UINT length = GetSystemDirectoryW(folder, MAX_PATH + 1);
  return std::wstring(folder, length) + L"\\";
}

TEST(LoadJvmLibrary, ReportsWhyTheLibraryCannotBeUsed) {
  test::TempFolder folder;
  const std::wstring missing = folder.pathOf(L"jvm.dll");
  const std::wstring notALibrary = folder.writeFile(L"text.dll", "this is text, not an executable image\n");
  const std::wstring withoutExports = systemFolder() + L"version.dll";

  const struct {
    const char* name;
    std::wstring path;
    std::string output;
  } cases[] = {
      {"missing file", missing,
       "Error: Failed to load Java VM library: " + toUtf8(missing) + " (errno = 126).\n \n"},
      {"file that is not a library", notALibrary,
       "Error: Failed to load Java VM library: " + toUtf8(notALibrary) + " (errno = 193).\n \n"},
      {"library without the invocation exports", withoutExports,
       "Error: Windows exception: cannot find CreateJavaVM JNI (errno = 127).\n \n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    JvmEntryPoints entries;
    test::StdoutCapture capture;
    EXPECT_FALSE(loadJvmLibrary(c.path, entries));
    EXPECT_EQ(capture.finish(), c.output);
    EXPECT_EQ(entries.createJavaVm, nullptr);
    EXPECT_EQ(entries.defaultInitArgs, nullptr);
  }
}

TEST(LoadJvmLibrary, KeepsTheLibraryLoadedAfterAMissingEntryPoint) {
  // A system library that nothing else here loads.
  const std::wstring path = systemFolder() + L"msimg32.dll";
  if (GetModuleHandleW(path.c_str()) != nullptr) GTEST_SKIP() << "already loaded";
  JvmEntryPoints entries;
  test::StdoutCapture capture;
  EXPECT_FALSE(loadJvmLibrary(path, entries));
  capture.finish();
  EXPECT_NE(GetModuleHandleW(path.c_str()), nullptr);
}

}  // namespace
}  // namespace tarn
