// The Java home checks, the machine check of a JVM library and the sibling
// start on the real Windows API.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "base/text.h"
#include "discovery/java_home.h"
#include "run/sibling_relaunch.h"
#include "support/open_handles_win.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"
#include "support/stdout_capture.h"

namespace tarn {
namespace {

const wchar_t kSiblingExitVariable[] = L"TARN_TEST_SIBLING_EXIT";
const wchar_t kSiblingRecordVariable[] = L"TARN_TEST_SIBLING_RECORD";

std::wstring environment(const wchar_t* name) {
  wchar_t buffer[32768];
  DWORD length = GetEnvironmentVariableW(name, buffer, 32768);
  return length == 0 || length >= 32768 ? std::wstring() : std::wstring(buffer, length);
}

// Started as a sibling by the relaunch tests, this program writes its
// command line into the record file, if one is named, and ends at once with
// the exit code asked for, before any test runs.
const bool kRanAsSibling = [] {
  const std::wstring code = environment(kSiblingExitVariable);
  if (code.empty()) return false;
  const std::wstring record = environment(kSiblingRecordVariable);
  if (!record.empty()) {
    HANDLE file = CreateFileW(record.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    const wchar_t* line = GetCommandLineW();
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(wcslen(line) * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
  }
  ExitProcess(static_cast<UINT>(wcstoul(code.c_str(), nullptr, 10)));
  return true;
}();

std::wstring ownPath() {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::wstring(path, length);
}

// A fresh folder; folder_ is its path with the separator.
class JavaHomeWinTest : public ::testing::Test {
 protected:
  std::wstring writeFile(const std::wstring& name, const std::vector<uint8_t>& bytes) {
    return temp_.writeFile(name, std::string(bytes.begin(), bytes.end()));
  }

  void makeFolders(const std::wstring& relative) { temp_.makeFolder(relative); }

  test::TempFolder temp_;
  const std::wstring folder_ = temp_.path().wstring() + L"\\";
};

// "MZ", the NT headers' offset at 0x3C, "PE\0\0" and the machine there.
std::vector<uint8_t> peHeader(uint16_t machine) {
  std::vector<uint8_t> image(0x200, 0);
  image[0] = 'M';
  image[1] = 'Z';
  image[0x3C] = 0x80;
  image[0x80] = 'P';
  image[0x81] = 'E';
  image[0x84] = static_cast<uint8_t>(machine);
  image[0x85] = static_cast<uint8_t>(machine >> 8);
  return image;
}

std::vector<uint8_t> truncated(std::vector<uint8_t> bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}

TEST_F(JavaHomeWinTest, AFolderNamedJvmDllIsFound) {
  makeFolders(L"bin\\client\\jvm.dll");
  bool server = true;
  EXPECT_EQ(findJvmLibrary(folder_, JvmType::Any, server), folder_ + L"bin\\client\\jvm.dll");
  EXPECT_FALSE(server);
}

TEST_F(JavaHomeWinTest, NeedsSiblingOnRealFiles) {
  makeFolders(L"folder.dll");
  const bool x86Build = sizeof(void*) == 4;
  struct Row {
    const char* name;
    std::wstring path;
    bool x86Image;
  };
  const Row rows[] = {
      {"this test program", ownPath(), x86Build},
      {"x86 header", writeFile(L"x86.dll", peHeader(0x014C)), true},
      {"x64 header", writeFile(L"x64.dll", peHeader(0x8664)), false},
      {"empty file", writeFile(L"empty.dll", {}), false},
      {"ten bytes", writeFile(L"ten.dll", {'M', 'Z', 0, 0, 0, 0, 0, 0, 0, 0}), false},
      {"headers past the end", writeFile(L"cut.dll", truncated(peHeader(0x014C), 0x83)), false},
      {"missing file", folder_ + L"missing.dll", false},
      {"folder", folder_ + L"folder.dll", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    // The 32-bit launcher runs a 32-bit jvm.dll itself.
    EXPECT_EQ(jvmLibraryNeedsSibling(row.path, true), row.x86Image && !x86Build);
    EXPECT_EQ(isX86PeFile(row.path), row.x86Image);
  }
}

TEST_F(JavaHomeWinTest, NeedsSiblingLeavesAFileHeldForWritingAlone) {
  const std::wstring path = writeFile(L"x86.dll", peHeader(0x014C));
  HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  const bool needsSibling = jvmLibraryNeedsSibling(path, true);
  CloseHandle(writer);
  // Sharing read access only, the check cannot open a file being written.
  EXPECT_FALSE(needsSibling);
}

TEST(NeedsSiblingWin, WithoutASiblingTheFileIsNeverOpened) {
  // Opening a named pipe connects to it, which its server can see.
  const std::wstring name = L"\\\\.\\pipe\\tarn-jvm-" + std::to_wstring(GetCurrentProcessId());
  auto openedSinceLastLook = [](HANDLE pipe) {
    // A pipe without waiting: "listening" until a client comes.
    ConnectNamedPipe(pipe, nullptr);
    return GetLastError() != ERROR_PIPE_LISTENING;
  };
  HANDLE pipe =
      CreateNamedPipeW(name.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_NOWAIT, 1, 512, 512, 0, nullptr);
  ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(jvmLibraryNeedsSibling(name, false));
  EXPECT_FALSE(openedSinceLastLook(pipe));

  // The same check with a sibling configured does open it, in the 64-bit
  // launcher, the only one that hands a start over for a 32-bit jvm.dll.
  EXPECT_FALSE(jvmLibraryNeedsSibling(name, true));
  EXPECT_EQ(openedSinceLastLook(pipe), sizeof(void*) == 8);
  CloseHandle(pipe);
}

TEST_F(JavaHomeWinTest, HandOverStartsTheSiblingWithTheCommandLineAndItsExitCode) {
  const std::wstring record = folder_ + L"command-line.txt";
  test::ScopedEnvironment recordFile(kSiblingRecordVariable, record);
  struct Row {
    const wchar_t* siblingExit;
    int32_t expected;
  };
  const Row rows[] = {{L"0", 0}, {L"7", 7}, {L"4294967295", -1}, {L"259", 259}};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(row.siblingExit)));
    DeleteFileW(record.c_str());
    test::ScopedEnvironment exitCode(kSiblingExitVariable, row.siblingExit);
    const std::vector<uintptr_t> handlesBefore = test::openHandles();
    EXPECT_EQ(handOverToSibling(ownPath(), folder_ + L"run.exe", true, false), row.expected);
    EXPECT_EQ(test::openHandles(), handlesBefore);
    // The mark is the child's alone.
    EXPECT_EQ(environment(L"TARN_STARTED_BY_PAIRED_LAUNCHER"), L"");

    HANDLE file = CreateFileW(record.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::vector<wchar_t> text(4096);
    DWORD read = 0;
    ReadFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr);
    CloseHandle(file);
    EXPECT_EQ(std::wstring(text.data(), read / sizeof(wchar_t)), std::wstring(GetCommandLineW()));
  }
}

TEST_F(JavaHomeWinTest, HandOverToASiblingThatCannotStartFails) {
  for (bool pairReturnCode : {false, true}) {
    SCOPED_TRACE(pairReturnCode);
    const std::wstring missing = folder_ + L"missing.exe";
    test::StdoutCapture capture;
    EXPECT_EQ(handOverToSibling(missing, folder_ + L"run.exe", pairReturnCode, false), -1);
    EXPECT_EQ(capture.finish(), "Error: Failed to start the paired launcher " + toUtf8(missing) + " (errno = 2).\n \n");
  }
}

TEST_F(JavaHomeWinTest, HandOverWithoutPairReturnCodeEndsWithZero) {
  test::ScopedEnvironment exitCode(kSiblingExitVariable, L"7");
  EXPECT_EQ(handOverToSibling(ownPath(), folder_ + L"run.exe", false, false), 0);
}

}  // namespace
}  // namespace tarn
