// Windows: where the diagnose lines go, and the clock of the phases.
#include <windows.h>

#include "base/diagnosis.h"
#include "base/scoped_handle_win.h"
#include "base/text_output_win.h"

namespace tarn {
namespace {

// Open for the rest of the process once a file is named.
ScopedFileHandle diagnosisFile;

void toStandardError(const std::wstring& line) { writeTextToHandle(GetStdHandle(STD_ERROR_HANDLE), line); }

// Several launchers may append to one file at once, and an append is not
// one step everywhere (Wine reads the end, then writes there): each line is
// written holding a lock on a byte far past any end the file will reach,
// which every launcher takes the same way. Without the lock the line is
// written all the same.
void toFile(const std::wstring& line) {
  OVERLAPPED place{};
  place.OffsetHigh = 0x7FFFFFFF;
  const bool locked = LockFileEx(diagnosisFile.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &place) != FALSE;
  writeTextToHandle(diagnosisFile.get(), line);
  if (locked) UnlockFileEx(diagnosisFile.get(), 0, 1, 0, &place);
}

}  // namespace

uint64_t PhaseTimer::monotonicMicroseconds() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER now;
  if (!QueryPerformanceFrequency(&frequency) || !QueryPerformanceCounter(&now) || frequency.QuadPart <= 0) return 0;
  const uint64_t ticks = static_cast<uint64_t>(now.QuadPart);
  const uint64_t perSecond = static_cast<uint64_t>(frequency.QuadPart);
  return ticks / perSecond * 1000000 + ticks % perSecond * 1000000 / perSecond;
}

uint32_t currentProcessId() { return GetCurrentProcessId(); }

DiagnosisSink standardErrorDiagnosisSink() { return toStandardError; }

DiagnosisSink fileDiagnosisSink(const std::wstring& path) {
  diagnosisFile.reset(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  // A disk file only: not a console, a pipe or a device the name may reach.
  if (diagnosisFile && GetFileType(diagnosisFile.get()) != FILE_TYPE_DISK) diagnosisFile.reset();
  return diagnosisFile ? toFile : nullptr;
}

}  // namespace tarn
