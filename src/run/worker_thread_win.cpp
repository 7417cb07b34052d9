// Windows: the worker thread.
#include <windows.h>

#include <cstdint>

#include "base/scoped_handle_win.h"
#include "run/worker_thread.h"

namespace tarn {
namespace {

DWORD WINAPI workerThreadStart(LPVOID parameter) { return workerMain(static_cast<Launcher*>(parameter)); }

}  // namespace

uint32_t runOnWorkerThread(Launcher* launcher, uint64_t stackSize) {
  // On x86 a size beyond the address space must not wrap to a small one; the
  // largest value makes CreateThread fail, and the caller's thread runs it.
  const SIZE_T size = stackSize > SIZE_MAX ? SIZE_MAX : static_cast<SIZE_T>(stackSize);
  // Without flags the size is the thread's initial stack commitment.
  ScopedKernelHandle thread(CreateThread(nullptr, size, &workerThreadStart, launcher, 0, nullptr));
  if (!thread) return workerMain(launcher);
  WaitForSingleObject(thread.get(), INFINITE);
  DWORD exitCode = 1;
  if (!GetExitCodeThread(thread.get(), &exitCode)) exitCode = 1;
  return exitCode;
}

}  // namespace tarn
