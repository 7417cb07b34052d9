#include "launcher/launcher.h"

#include "config/launcher_paths.h"
#include "launcher/platform_support.h"
#include "launcher/process_platform.h"

namespace tarn {

namespace {
Launcher* currentLauncher = nullptr;
}  // namespace

Launcher::Launcher() { currentLauncher = this; }

Launcher::~Launcher() {
  // DestroyJavaVM waits for the application's remaining non-daemon threads.
  if (javaVm != nullptr) javaVm->DestroyJavaVM();
  if (guardEnabled) releaseSingleInstance();
  currentLauncher = nullptr;
}

Launcher* Launcher::current() { return currentLauncher; }

bool Launcher::initialize() {
  parseCommandLine();
  if (!readSettings()) return false;
  if (!supportsConfiguredMode(*this)) return false;
  if (!setupSingleInstance()) return false;
  // A second instance hands over to the running one: no runtime, no dialog.
  if (guardEnabled && !isFirstInstance) return true;
  // Before the runtime search, so that relative paths from here on are taken
  // against the launcher's folder.
  if (overrideWorkingDir) setWorkingDirectory();
  return chooseJavaRuntime();
}

int32_t Launcher::run() {
  if (relaunchPair) return relaunchSibling();
  if (guardEnabled && !isFirstInstance) return waitForRunningInstance();
  prepareJvmEnvironment();
  if (!loadJvmLibrary(jvmDllPath)) return -1;
  // Without a class path it has printed its message; the run goes on.
  assembleJvmConfiguration();
  return runJavaApplication() == 0 ? 0 : -1;
}

void Launcher::setWorkingDirectory() {
  std::wstring path;
  if (!modulePath(path)) return;
  size_t separator = path.rfind(nativePathStyle().separator);
  // A launcher in a drive's root gives the bare drive designator (C:), which
  // stands for that drive's current directory.
  if (separator != std::wstring::npos && separator > 0) changeCurrentDirectory(path.substr(0, separator));
}

}  // namespace tarn
