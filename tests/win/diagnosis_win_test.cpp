// The diagnose file on Windows: a disk file only.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "base/diagnosis.h"
#include "base/scoped_handle_win.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"

namespace tarn {
namespace {

TEST(DiagnosisFileWin, OnlyDiskFilesAreOpened) {
  test::TempFolder folder;
  folder.makeFolder(L"logs");
  const std::wstring pipeName = L"\\\\.\\pipe\\tarn-diagnosis-test-" + std::to_wstring(GetCurrentProcessId());
  // A pipe that waits for a client, as a program that reads the lines would.
  ScopedFileHandle pipe(
      CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_NOWAIT, 1, 0, 4096, 0, nullptr));
  ASSERT_TRUE(pipe);
  const struct {
    const char* what;
    std::wstring path;
    bool opened;
  } rows[] = {
      {"a new file", folder.pathOf(L"new.log"), true},
      {"a folder", folder.pathOf(L"logs"), false},
      {"a missing folder", folder.pathOf(L"nowhere\\diag.log"), false},
      {"a device", L"NUL", false},
      {"a pipe", pipeName, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(fileDiagnosisSink(row.path) != nullptr, row.opened);
  }
}

TEST(DiagnosisFileWin, AReadOnlyFileIsNotOpened) {
  test::TempFolder folder;
  const std::wstring readOnly = folder.writeFile(L"read-only.log", "old\r\n");
  ASSERT_TRUE(SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  const ScopedFileHandle probe(CreateFileW(readOnly.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  const bool attributeHolds = !probe;
  if (attributeHolds) {
    EXPECT_EQ(fileDiagnosisSink(readOnly), nullptr);
  }
  SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!attributeHolds) GTEST_SKIP() << "this system writes read-only files anyway (Wine run by root)";
}

// Set in the children of SeveralProcessesAppendWholeLines: "<number>|<gate
// event>|<file>".
const wchar_t kChildVariable[] = L"TARN_TEST_DIAGNOSIS_CHILD";
constexpr int kLines = 200;

std::string lineOf(int process, int number) {
  return "tarn: process " + std::to_string(process) + " line " + std::to_string(number) + " " + std::string(100, 'p');
}

TEST(DiagnosisFileWin, AppendsInTheChild) {
  const auto value = test::environmentValue(kChildVariable);
  if (!value)
    GTEST_SKIP() << "the child side of "
                    "DiagnosisFileWin.SeveralProcessesAppendWholeLines";
  const size_t first = value->find(L'|');
  const size_t second = value->find(L'|', first + 1);
  const int process = std::stoi(value->substr(0, first));
  setDiagnosisSink(fileDiagnosisSink(value->substr(second + 1)));
  ASSERT_TRUE(diagnosing());
  ScopedKernelHandle gate(OpenEventW(SYNCHRONIZE, FALSE, value->substr(first + 1, second - first - 1).c_str()));
  ASSERT_TRUE(gate);
  ASSERT_EQ(WaitForSingleObject(gate.get(), INFINITE), WAIT_OBJECT_0);
  const std::wstring padding(100, L'p');
  for (int line = 0; line < kLines; ++line) {
    diagnose("process %s line %s %s", std::to_wstring(process), std::to_wstring(line), padding);
  }
  setDiagnosisSink(nullptr);
}

// Each process opens the file and waits at a gate the test opens, then
// writes its lines: every line arrives whole, none is lost.
TEST(DiagnosisFileWin, SeveralProcessesAppendWholeLines) {
  constexpr int kProcesses = 4;
  test::TempFolder folder;
  const std::wstring path = folder.pathOf(L"diag.log");
  const std::wstring gateName = L"tarn-diagnosis-gate-" + std::to_wstring(GetCurrentProcessId());
  ScopedKernelHandle gate(CreateEventW(nullptr, TRUE, FALSE, gateName.c_str()));
  ASSERT_TRUE(gate);
  wchar_t self[MAX_PATH];
  ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
  std::vector<ScopedKernelHandle> children;
  std::vector<HANDLE> waits;
  for (int process = 0; process < kProcesses; ++process) {
    test::ScopedEnvironment child(kChildVariable, std::to_wstring(process) + L"|" + gateName + L"|" + path);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_filter=DiagnosisFileWin.AppendsInTheChild";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(CreateProcessW(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started));
    CloseHandle(started.hThread);
    children.emplace_back(started.hProcess);
    waits.push_back(started.hProcess);
  }
  ASSERT_TRUE(SetEvent(gate.get()));
  ASSERT_EQ(WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(), TRUE, INFINITE), WAIT_OBJECT_0);
  for (HANDLE child : waits) {
    DWORD code = 1;
    EXPECT_TRUE(GetExitCodeProcess(child, &code));
    EXPECT_EQ(code, 0u);
  }

  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  std::set<std::string> seen;
  std::string line;
  int count = 0;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    seen.insert(line);
    ++count;
  }
  EXPECT_EQ(count, kProcesses * kLines);
  for (int process = 0; process < kProcesses; ++process) {
    for (int number = 0; number < kLines; ++number) {
      if (seen.count(lineOf(process, number)) == 0) {
        ADD_FAILURE() << "missing or broken: " << lineOf(process, number);
        return;
      }
    }
  }
}

}  // namespace
}  // namespace tarn
