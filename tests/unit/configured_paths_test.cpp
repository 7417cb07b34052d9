// A configuration written for Windows, read where paths have no Windows forms.
#include "config/configured_paths.h"

#include <gtest/gtest.h>

#include "support/stdout_capture.h"

namespace tarn {
namespace {

TEST(ConfiguredPaths, WindowsPathsInThePlatformsForm) {
  const struct {
    const char* name;
    std::wstring jrePath;
    std::wstring classPath;
    std::wstring outputFile;
    std::wstring expectedJrePath;
    std::wstring expectedClassPath;
    std::wstring expectedOutputFile;
    std::string output;
  } rows[] = {
      {"relative", L"jre", L"lib\\*.jar;classes", L"logs\\out.log", L"jre", L"lib/*.jar;classes", L"logs/out.log", ""},
      // A class path entry from the launcher's folder, as Windows appends it;
      // elsewhere a leading backslash is the root, as of the current drive there.
      {"leading backslash", L"\\opt\\jre", L"\\lib\\*.jar", L"\\var\\log\\out.log", L"/opt/jre", L"lib/*.jar",
       L"/var/log/out.log", ""},
      {"written for this platform", L"/opt/jre", L"lib/*.jar;/opt/x.jar", L"out.log", L"/opt/jre",
       L"lib/*.jar;/opt/x.jar", L"out.log", ""},
      {"references stay", L"%JAVA_HOME%", L"%LIBS%\\x.jar", L"%TEMP%\\out.log", L"%JAVA_HOME%", L"%LIBS%/x.jar",
       L"%TEMP%/out.log", ""},
      {"a drive letter names nothing", L"C:\\Java\\jre", L"a.jar;D:\\lib\\b.jar;c.jar", L"E:out.log", L"",
       L"a.jar;c.jar", L"",
       "Error: JRE Path is a Windows path, which has no meaning on this platform: C:\\Java\\jre. \n"
       "Error: Output File is a Windows path, which has no meaning on this platform: E:out.log. \n"
       "Error: Class Path is a Windows path, which has no meaning on this platform: D:\\lib\\b.jar. \n"},
      {"a network path names nothing", L"\\\\server\\jre", L"\\\\server\\lib\\a.jar", L"", L"", L"", L"",
       "Error: JRE Path is a Windows path, which has no meaning on this platform: \\\\server\\jre. \n"
       "Error: Class Path is a Windows path, which has no meaning on this platform: \\\\server\\lib\\a.jar. \n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Settings settings;
    settings.jrePath = row.jrePath;
    settings.classPath = row.classPath;
    settings.output.file = row.outputFile;
    test::StdoutCapture capture;
    nativeConfiguredPaths(kPosixPathStyle, settings);
    EXPECT_EQ(capture.finish(), row.output);
    EXPECT_EQ(settings.jrePath, row.expectedJrePath);
    EXPECT_EQ(settings.classPath, row.expectedClassPath);
    EXPECT_EQ(settings.output.file, row.expectedOutputFile);

    // Windows keeps every value as written.
    Settings windows;
    windows.jrePath = row.jrePath;
    windows.classPath = row.classPath;
    nativeConfiguredPaths(kWindowsPathStyle, windows);
    EXPECT_EQ(windows.jrePath, row.jrePath);
    EXPECT_EQ(windows.classPath, row.classPath);
  }
}

}  // namespace
}  // namespace tarn
