// POSIX: where the diagnose lines go, and the clock of the phases.
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "base/diagnosis.h"
#include "base/text.h"
#include "base/text_output_posix.h"

namespace tarn {
namespace {

// Open for the rest of the process once a file is named.
int diagnosisFile = -1;

void toStandardError(const std::wstring& line) { writeTextToDescriptor(STDERR_FILENO, line); }

void toFile(const std::wstring& line) { writeTextToDescriptor(diagnosisFile, line); }

}  // namespace

uint64_t PhaseTimer::monotonicMicroseconds() {
  timespec now{};
  if (clock_gettime(CLOCK_MONOTONIC, &now) != 0) return 0;
  return static_cast<uint64_t>(now.tv_sec) * 1000000 + static_cast<uint64_t>(now.tv_nsec) / 1000;
}

uint32_t currentProcessId() { return static_cast<uint32_t>(getpid()); }

DiagnosisSink standardErrorDiagnosisSink() { return toStandardError; }

DiagnosisSink fileDiagnosisSink(const std::wstring& path) {
  // Without blocking: opening a FIFO for writing would wait for a reader.
  const int file = open(toUtf8(path).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0644);
  if (file < 0) return nullptr;
  struct stat opened {};
  struct stat standardError {};
  if (fstat(file, &opened) == 0 && S_ISREG(opened.st_mode)) {
    diagnosisFile = file;
    return toFile;
  }
  // Anything else (a FIFO, a device, a terminal) only when it is what the
  // standard error stream already writes to, as /dev/stderr names it.
  const bool isStandardError = fstat(STDERR_FILENO, &standardError) == 0 && opened.st_dev == standardError.st_dev &&
                               opened.st_ino == standardError.st_ino;
  close(file);
  return isStandardError ? toStandardError : nullptr;
}

}  // namespace tarn
