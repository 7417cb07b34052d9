// The windowless launcher's capture of what the runtime writes to standard
// error: the real pipe and reader thread, with the box replaced by a record
// of the text it would show.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher/runtime_error_box_win.h"

namespace tarn {
namespace {

std::vector<std::wstring> shown;

void recordShown(const std::wstring& text) { shown.push_back(text); }

// Writes as the VM does: to whatever standard error is at the time.
void writeError(const std::string& bytes) {
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(GetStdHandle(STD_ERROR_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                        nullptr));
  ASSERT_EQ(written, bytes.size());
}

class RuntimeErrorBoxTest : public testing::Test {
 protected:
  void SetUp() override {
    shown.clear();
    original_ = GetStdHandle(STD_ERROR_HANDLE);
  }
  void TearDown() override { SetStdHandle(STD_ERROR_HANDLE, original_); }

  HANDLE original_ = nullptr;
};

const char kHelperText[] =
    "Error: Could not find or load main class com.example.Missing\r\n"
    "Caused by: java.lang.ClassNotFoundException: com.example.Missing\r\n";
const wchar_t kHelperShown[] =
    L"Error: Could not find or load main class com.example.Missing\n"
    L"Caused by: java.lang.ClassNotFoundException: com.example.Missing";

TEST_F(RuntimeErrorBoxTest, AFailureShowsWhatWasWrittenAndStandardErrorComesBack) {
  {
    RuntimeErrorBox box(&recordShown);
    ASSERT_TRUE(box.start());
    EXPECT_NE(GetStdHandle(STD_ERROR_HANDLE), original_);
    writeError(kHelperText);
    box.finish(true);
    EXPECT_EQ(GetStdHandle(STD_ERROR_HANDLE), original_);
  }
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], kHelperShown);
}

TEST_F(RuntimeErrorBoxTest, WhenABoxIsShown) {
  const struct {
    const char* name;
    bool mainStarted;
    int exitCode;  // through the VM's exit hook; 256: the run's end instead
    bool failed;
    bool expected;
  } cases[] = {
      {"the run failed", false, 256, true, true},
      {"the run went its way", true, 256, false, false},
      {"System.exit(1) before main: the launcher helper", false, 1, false, true},
      {"System.exit(0) before main", false, 0, false, false},
      {"the application's own System.exit(1)", true, 1, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    shown.clear();
    {
      RuntimeErrorBox box(&recordShown);
      ASSERT_TRUE(box.start());
      writeError(kHelperText);
      if (c.mainStarted) box.mainStarting();
      if (c.exitCode != 256) {
        box.onJvmExit(c.exitCode);
      } else {
        box.finish(c.failed);
      }
      // The end of the run after an exit hook shows nothing more.
      box.finish(true);
    }
    EXPECT_EQ(shown.size(), c.expected ? 1u : 0u);
  }
}

TEST_F(RuntimeErrorBoxTest, TheVmMayWriteOnAfterTheBox) {
  // Shutdown hooks write to the handle the VM took at its start: it stays a
  // pipe that is drained, never a closed handle whose number the process
  // may give to another file.
  RuntimeErrorBox box(&recordShown);
  ASSERT_TRUE(box.start());
  const HANDLE vmCopy = GetStdHandle(STD_ERROR_HANDLE);
  writeError(kHelperText);
  box.finish(true);
  const std::string late(64 * 1024, 'x');
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(vmCopy, late.data(), static_cast<DWORD>(late.size()), &written, nullptr));
  EXPECT_EQ(written, late.size());
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], kHelperShown);
}

TEST_F(RuntimeErrorBoxTest, NothingWrittenShowsNothing) {
  RuntimeErrorBox box(&recordShown);
  ASSERT_TRUE(box.start());
  box.finish(true);
  EXPECT_TRUE(shown.empty());
}

TEST_F(RuntimeErrorBoxTest, AFloodOfOutputNeitherBlocksTheWriterNorFillsTheBox) {
  RuntimeErrorBox box(&recordShown);
  ASSERT_TRUE(box.start());
  // Far beyond the pipe's buffer: the writer returns only because the
  // reader keeps draining what it no longer keeps.
  std::string trace = "Exception in thread \"main\" java.lang.StackOverflowError\r\n";
  for (int i = 0; i < 40000; ++i) trace += "\tat com.example.App.recurse(App.java:" + std::to_string(i) + ")\r\n";
  writeError(trace);
  box.finish(true);
  ASSERT_EQ(shown.size(), 1u);
  std::wstring expected = L"Exception in thread \"main\" java.lang.StackOverflowError";
  for (int i = 0; i < 19; ++i) expected += L"\n\tat com.example.App.recurse(App.java:" + std::to_wstring(i) + L")";
  EXPECT_EQ(shown[0], expected);
}

TEST_F(RuntimeErrorBoxTest, TextInTheSystemCodePage) {
  RuntimeErrorBox box(&recordShown);
  ASSERT_TRUE(box.start());
  // "caf\u00e9" as the runtime writes it to a pipe, in the ANSI code page.
  const wchar_t wide[] = L"Error: caf\u00e9\r\n";
  char narrow[64] = {};
  const int length = WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr);
  ASSERT_GT(length, 1);
  writeError(std::string(narrow, static_cast<size_t>(length - 1)));
  box.finish(true);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], L"Error: caf\u00e9");
}

}  // namespace
}  // namespace tarn
