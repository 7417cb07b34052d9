// The Java home checks, the machine check and the sibling start on the real
// Windows API.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "win/folder_tree_win.h"
#include "discovery/java_home.h"
#include "launcher/launcher.h"

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

// The kernel handle values open in this process, found by asking about each
// low value in turn (the handle count is not available everywhere).
std::vector<uintptr_t> openHandles() {
  std::vector<uintptr_t> open;
  for (uintptr_t value = 4; value < 0x10000; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) open.push_back(value);
  }
  return open;
}

class ScopedEnvironment {
 public:
  ScopedEnvironment(const wchar_t* name, const std::wstring& value) : name_(name) {
    SetEnvironmentVariableW(name, value.c_str());
  }
  ~ScopedEnvironment() { SetEnvironmentVariableW(name_, nullptr); }

 private:
  const wchar_t* name_;
};

// A fresh folder under the temporary folder, removed with everything in it.
class JavaHomeWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    folder_ = std::wstring(base) + L"tarn-home-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
              std::to_wstring(GetTickCount64());
    ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
    folder_ += L"\\";
  }
  void TearDown() override { test::removeFolderTree(folder_.substr(0, folder_.size() - 1)); }

  std::wstring writeFile(const std::wstring& name, const std::vector<uint8_t>& bytes) {
    const std::wstring path = folder_ + name;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    if (!bytes.empty()) WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return path;
  }

  void makeFolders(const std::wstring& relative) {
    std::wstring path = folder_;
    for (wchar_t c : relative) {
      if (c == L'\\') CreateDirectoryW(path.c_str(), nullptr);
      path += c;
    }
    CreateDirectoryW(path.c_str(), nullptr);
  }

  std::wstring folder_;
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

TEST_F(JavaHomeWinTest, FileExistsByDirectorySearch) {
  writeFile(L"jvm.dll", {1});
  makeFolders(L"bin\\client\\jvm.dll");
  struct Row {
    const wchar_t* path;
    bool exists;
  };
  const Row rows[] = {
      {L"jvm.dll", true},
      {L"bin\\client\\jvm.dll", true},  // a folder of that name counts
      {L"jv?.dll", true},
      {L"*.dll", true},
      {L"bin\\*\\jvm.dll", false},  // wildcards only in the last component
      {L"java.dll", false},
      {L"missing\\jvm.dll", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(row.path)));
    EXPECT_EQ(fileExists(folder_ + row.path), row.exists);
  }
  // A 300-character path is no error, just not there.
  EXPECT_FALSE(fileExists(folder_ + std::wstring(300, L'x')));
}

TEST_F(JavaHomeWinTest, FileExistsClosesItsSearchAtOnce) {
  writeFile(L"jvm.dll", {1});
  const std::vector<uintptr_t> before = openHandles();
  ASSERT_TRUE(fileExists(folder_ + L"jvm.dll"));
  ASSERT_TRUE(fileExists(folder_ + L"*"));
  EXPECT_EQ(openHandles(), before);
}

TEST_F(JavaHomeWinTest, AFolderNamedJvmDllIsFound) {
  makeFolders(L"bin\\client\\jvm.dll");
  bool server = true;
  EXPECT_EQ(findJvmDll(folder_, 0, server), folder_ + L"bin\\client\\jvm.dll");
  EXPECT_FALSE(server);
}

TEST_F(JavaHomeWinTest, CheckJvmMachineOnRealFiles) {
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
    Launcher launcher;
    launcher.pairProduct = L"tarn32.exe";
    launcher.jvmDllPath = row.path;
    // The 32-bit launcher runs a 32-bit jvm.dll itself.
    const bool relaunch = row.x86Image && !x86Build;
    launcher.relaunchPair = !relaunch;
    launcher.checkJvmMachine();
    EXPECT_EQ(launcher.relaunchPair, relaunch);
    EXPECT_EQ(isX86PeFile(row.path), row.x86Image);
  }
}

TEST_F(JavaHomeWinTest, CheckJvmMachineLeavesAFileHeldForWritingAlone) {
  const std::wstring path = writeFile(L"x86.dll", peHeader(0x014C));
  HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  Launcher launcher;
  launcher.pairProduct = L"tarn32.exe";
  launcher.jvmDllPath = path;
  launcher.checkJvmMachine();
  CloseHandle(writer);
  // Sharing read access only, the check cannot open a file being written.
  EXPECT_FALSE(launcher.relaunchPair);
}

TEST(CheckJvmMachineWin, WithoutPairProductTheFileIsNeverOpened) {
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
  Launcher launcher;
  launcher.jvmDllPath = name;
  launcher.relaunchPair = true;
  launcher.checkJvmMachine();
  EXPECT_FALSE(launcher.relaunchPair);
  EXPECT_FALSE(openedSinceLastLook(pipe));

  // The same check with a sibling configured does open it, in the 64-bit
  // launcher, the only one that hands a start over for a 32-bit jvm.dll.
  launcher.pairProduct = L"tarn32.exe";
  launcher.checkJvmMachine();
  EXPECT_FALSE(launcher.relaunchPair);
  EXPECT_EQ(openedSinceLastLook(pipe), sizeof(void*) == 8);
  CloseHandle(pipe);
}

TEST_F(JavaHomeWinTest, RelaunchSiblingHandsOverTheCommandLineAndItsExitCode) {
  const std::wstring record = folder_ + L"command-line.txt";
  ScopedEnvironment recordFile(kSiblingRecordVariable, record);
  struct Row {
    const wchar_t* siblingExit;
    int32_t expected;
  };
  const Row rows[] = {{L"0", 0}, {L"7", 7}, {L"4294967295", -1}, {L"259", 259}};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(row.siblingExit)));
    DeleteFileW(record.c_str());
    ScopedEnvironment exitCode(kSiblingExitVariable, row.siblingExit);
    Launcher launcher;
    launcher.pairProduct = ownPath();
    launcher.pairReturnCode = true;
    const std::vector<uintptr_t> handlesBefore = openHandles();
    EXPECT_EQ(launcher.relaunchSibling(), row.expected);
    EXPECT_EQ(openHandles(), handlesBefore);

    HANDLE file = CreateFileW(record.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::vector<wchar_t> text(4096);
    DWORD read = 0;
    ReadFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr);
    CloseHandle(file);
    EXPECT_EQ(std::wstring(text.data(), read / sizeof(wchar_t)), std::wstring(GetCommandLineW()));
  }
}

TEST_F(JavaHomeWinTest, RelaunchSiblingThatCannotStartEndsWithZero) {
  for (bool pairReturnCode : {false, true}) {
    SCOPED_TRACE(pairReturnCode);
    Launcher launcher;
    launcher.pairProduct = folder_ + L"missing.exe";
    launcher.pairReturnCode = pairReturnCode;
    EXPECT_EQ(launcher.relaunchSibling(), 0);
  }
}

TEST_F(JavaHomeWinTest, RelaunchSiblingWithoutPairReturnCodeEndsWithZero) {
  ScopedEnvironment exitCode(kSiblingExitVariable, L"7");
  Launcher launcher;
  launcher.pairProduct = ownPath();
  EXPECT_EQ(launcher.relaunchSibling(), 0);
}

}  // namespace
}  // namespace tarn
