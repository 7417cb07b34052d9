#pragma once
// The worker thread on which the Java VM is created and the main class runs:
// its stack size is what the VM options ask for, whatever the system gave
// the process's first thread.

#include <cstdint>

#include "run/run_outcome.h"

namespace tarn {

using WorkerRoutine = RunOutcome (*)(void* context);

// Runs routine(context) on a new thread with the given stack size (0 = the
// system's default) and returns its outcome once it has ended. When no
// thread can be created it runs the routine on the calling thread instead.
// Defined per platform.
RunOutcome runOnWorkerThread(WorkerRoutine routine, void* context, uint64_t stackSize);

}  // namespace tarn
