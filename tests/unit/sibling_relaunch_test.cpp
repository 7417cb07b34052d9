// Handing the start to the paired launcher: where it is looked for, and the
// hand-overs that are refused because they would never end.
#include "run/sibling_relaunch.h"

#include <gtest/gtest.h>

#include "base/path.h"
#include "base/text.h"
#include "config/launcher_paths.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"
#include "support/stdout_capture.h"

namespace tarn {
namespace {

TEST(PairedLauncherPath, RelativeValuesAreTakenAgainstTheLaunchersFolder) {
  const struct {
    const char* name;
    std::wstring pairProduct;
    const PathStyle& style;
    std::wstring folder;
    std::wstring expected;
  } rows[] = {
      {"relative", L"x86\\run32.exe", kWindowsPathStyle, L"C:\\app\\", L"C:\\app\\x86\\run32.exe"},
      {"leading separator", L"\\x86\\run32.exe", kWindowsPathStyle, L"C:\\app\\", L"C:\\app\\x86\\run32.exe"},
      {"a file name", L"run32.exe", kWindowsPathStyle, L"C:\\app\\", L"C:\\app\\run32.exe"},
      {"with a drive", L"D:\\x86\\run32.exe", kWindowsPathStyle, L"C:\\app\\", L"D:\\x86\\run32.exe"},
      {"on a share", L"\\\\srv\\x86\\run32.exe", kWindowsPathStyle, L"C:\\app\\", L"\\\\srv\\x86\\run32.exe"},
      {"empty: none", L"", kWindowsPathStyle, L"C:\\app\\", L""},
      {"POSIX relative", L"x86/run32", kPosixPathStyle, L"/opt/app/", L"/opt/app/x86/run32"},
      {"POSIX absolute", L"/opt/other/run32", kPosixPathStyle, L"/opt/app/", L"/opt/other/run32"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(pairedLauncherPath(row.pairProduct, row.folder, row.style), row.expected);
  }
}

TEST(HandOverToSibling, RefusesWhatWouldStartForEver) {
  test::TempFolder folder;
  const std::wstring launcher = folder.writeFile("run.exe", "MZ");
  const std::wstring sameFile = folder.pathOf(".") + nativePathStyle().separator + L"run.exe";
  const struct {
    const char* name;
    std::wstring sibling;
    bool startedBySibling;
    std::string output;
  } rows[] = {
      {"the launcher's own file, however spelt", sameFile, false,
       "Error: Pair Product names this launcher itself: " + toUtf8(sameFile) + ".\n \n"},
      {"started by its own paired launcher", folder.pathOf("run32.exe"), true,
       "Error: " + toUtf8(launcher) + " was started by its paired launcher and would hand the start on again.\n \n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    test::StdoutCapture capture;
    EXPECT_EQ(handOverToSibling(row.sibling, launcher, true, row.startedBySibling), -1);
    EXPECT_EQ(capture.finish(), row.output);
  }
}

TEST(HandOverToSibling, ASiblingThatCannotStartIsAFailure) {
  test::TempFolder folder;
  const std::wstring missing = folder.pathOf("run32.exe");
  test::StdoutCapture capture;
  EXPECT_EQ(handOverToSibling(missing, folder.pathOf("run.exe"), false, false), -1);
  EXPECT_EQ(capture.finish().rfind("Error: Failed to start the paired launcher " + toUtf8(missing) + " (errno = ", 0),
            0u);
}

TEST(StartedBySiblingMark, IsReadOnceAndRemoved) {
  const struct {
    const char* name;
    std::optional<std::wstring> value;
    bool marked;
  } rows[] = {{"set", L"1", true}, {"unset", std::nullopt, false}, {"another value", L"yes", false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    test::ScopedEnvironment mark(L"TARN_STARTED_BY_PAIRED_LAUNCHER", row.value);
    EXPECT_EQ(takeStartedBySiblingMark(), row.marked);
    // Gone, so that the application's own child processes do not inherit it.
    EXPECT_EQ(test::environmentValue(L"TARN_STARTED_BY_PAIRED_LAUNCHER"), std::nullopt);
    EXPECT_FALSE(takeStartedBySiblingMark());
  }
}

}  // namespace
}  // namespace tarn
