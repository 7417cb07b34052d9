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
  RunOutcome outcome;
};

DWORD WINAPI workerThreadStart(LPVOID parameter) {
  WorkerStart* start = static_cast<WorkerStart*>(parameter);
  start->outcome = start->routine(start->context);
  return 0;
}

}  // namespace

RunOutcome runOnWorkerThread(WorkerRoutine routine, void* context, uint64_t stackSize) {
  // On x86 a size beyond the address space must not wrap to a small one; the
  // largest value makes CreateThread fail, and the caller's thread runs it.
  const SIZE_T size = stackSize > SIZE_MAX ? SIZE_MAX : static_cast<SIZE_T>(stackSize);
  // Without flags the size is the thread's initial stack commitment.
  WorkerStart start{routine, context, {}};
  ScopedKernelHandle thread(CreateThread(nullptr, size, &workerThreadStart, &start, 0, nullptr));
  if (!thread) return routine(context);
  // Should the wait fail, the thread may still be writing: its outcome is not read.
  if (WaitForSingleObject(thread.get(), INFINITE) != WAIT_OBJECT_0) return {-1, RunFailure::MainClass};
  return start.outcome;
}

}  // namespace tarn
