// The diagnose file on Linux: what may be opened, and several processes
// appending to one file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/diagnosis.h"
#include "base/text.h"
#include "support/temp_folder.h"

namespace tarn {
namespace {

TEST(DiagnosisFilePosix, OnlyRegularFilesAreOpened) {
  test::TempFolder folder;
  const std::wstring fifo = folder.pathOf(L"diag.fifo");
  ASSERT_EQ(mkfifo(toUtf8(fifo).c_str(), 0600), 0);
  // A reader, so that the FIFO could be opened for writing at once.
  const int reader = open(toUtf8(fifo).c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  folder.makeFolder(L"logs");
  const struct {
    const char* what;
    std::wstring path;
    bool opened;
  } rows[] = {
      {"a new file", folder.pathOf(L"new.log"), true},
      {"a FIFO with a reader", fifo, false},
      // Not /dev/null: the test's own standard error may be that device, which is kept.
      {"a device", L"/dev/zero", false},
      {"a folder", folder.pathOf(L"logs"), false},
      {"a missing folder", folder.pathOf(L"nowhere/diag.log"), false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(fileDiagnosisSink(row.path) != nullptr, row.opened);
  }
  close(reader);
}

// Each process opens the file, waits at a gate the test opens, then writes
// its lines: every line arrives whole, none is lost.
TEST(DiagnosisFilePosix, SeveralProcessesAppendWholeLines) {
  constexpr int kProcesses = 4;
  constexpr int kLines = 300;
  test::TempFolder folder;
  const std::wstring path = folder.pathOf(L"diag.log");
  int gate[2];
  ASSERT_EQ(pipe(gate), 0);
  std::vector<pid_t> children;
  for (int process = 0; process < kProcesses; ++process) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(gate[1]);
      setDiagnosisSink(fileDiagnosisSink(path));
      char byte;
      while (read(gate[0], &byte, 1) > 0) {
      }
      const std::wstring padding(100, L'p');
      for (int line = 0; line < kLines; ++line) {
        diagnose("process %s line %s %s", std::to_wstring(process), std::to_wstring(line), padding);
      }
      _exit(diagnosing() ? 0 : 3);
    }
    children.push_back(child);
  }
  close(gate[0]);
  close(gate[1]);
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }

  std::ifstream in(toUtf8(path), std::ios::binary);
  std::string line;
  std::set<std::string> seen;
  int count = 0;
  const std::string padding(100, 'p');
  while (std::getline(in, line)) {
    ++count;
    seen.insert(line);
  }
  EXPECT_EQ(count, kProcesses * kLines);
  for (int process = 0; process < kProcesses; ++process) {
    for (int number = 0; number < kLines; ++number) {
      const std::string expected =
          "tarn: process " + std::to_string(process) + " line " + std::to_string(number) + " " + padding;
      if (seen.count(expected) == 0) {
        ADD_FAILURE() << "missing or broken: " << expected;
        return;
      }
    }
  }
}

}  // namespace
}  // namespace tarn
