#pragma once
// The worker thread that creates the Java VM and runs the main class
// (Launcher::runJavaApplication starts it and waits for it).

#include <cstdint>

namespace tarn {

class Launcher;

// The worker thread's routine: 0 when the main method was called and the
// thread detached afterwards, 1 for anything else (no launcher, no VM, no
// main class or method, a failed detach).
uint32_t workerMain(Launcher* launcher);

// Runs workerMain(launcher) on a new thread with the given stack size (0 =
// the system's default) and returns its exit code once it has ended. When no
// thread can be created it runs workerMain on the calling thread instead.
// Defined per platform.
uint32_t runOnWorkerThread(Launcher* launcher, uint64_t stackSize);

}  // namespace tarn
