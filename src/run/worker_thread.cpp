#include "run/worker_thread.h"

#include "launcher/launcher.h"

namespace tarn {

uint32_t workerMain(Launcher* launcher) {
  if (launcher == nullptr) return 1;
  // createJvm has written its own message when it fails.
  if (!launcher->createJvm()) return 1;
  return launcher->runMainClass() ? 0 : 1;
}

int32_t Launcher::runJavaApplication() {
  if (threadStackSize == 0) threadStackSize = defaultJavaStackSize();
  // The VM runs on a thread of its own whose stack size the VM options decide;
  // the calling thread's stack is whatever the system gave it.
  return static_cast<int32_t>(runOnWorkerThread(this, threadStackSize));
}

}  // namespace tarn
