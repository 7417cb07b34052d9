// POSIX: where the diagnose lines go, and the clock of the phases.
#include <fcntl.h>
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

DiagnosisSink standardErrorDiagnosisSink() { return toStandardError; }

DiagnosisSink fileDiagnosisSink(const std::wstring& path) {
  diagnosisFile = open(toUtf8(path).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  return diagnosisFile >= 0 ? toFile : nullptr;
}

}  // namespace tarn
