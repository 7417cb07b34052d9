// Windows: the worker thread.
#include <windows.h>

#include <cstdint>

#include "base/scoped_handle_win.h"
#include "run/worker_thread.h"

namespace tarn {
namespace {

struct WorkerStart {
  WorkerRoutine routine;
  void* context;
};

DWORD WINAPI workerThreadStart(LPVOID parameter) {
  const WorkerStart* start = static_cast<const WorkerStart*>(parameter);
  return start->routine(start->context);
}

}  // namespace

uint32_t runOnWorkerThread(WorkerRoutine routine, void* context, uint64_t stackSize) {
  // On x86 a size beyond the address space must not wrap to a small one; the
  // largest value makes CreateThread fail, and the caller's thread runs it.
  const SIZE_T size = stackSize > SIZE_MAX ? SIZE_MAX : static_cast<SIZE_T>(stackSize);
  // Without flags the size is the thread's initial stack commitment.
  WorkerStart start{routine, context};
  ScopedKernelHandle thread(CreateThread(nullptr, size, &workerThreadStart, &start, 0, nullptr));
  if (!thread) return routine(context);
  WaitForSingleObject(thread.get(), INFINITE);
  DWORD exitCode = 1;
  if (!GetExitCodeThread(thread.get(), &exitCode)) exitCode = 1;
  return exitCode;
}

}  // namespace tarn
