#include "launcher/launcher.h"

#include "jvm/jvm_creation.h"
#include "launcher/process_platform.h"
#include "run/main_class.h"
#include "run/sibling_relaunch.h"
#include "run/worker_thread.h"

namespace tarn {

Launcher::Launcher(std::vector<std::wstring> arguments)
    : arguments_(std::move(arguments)), platform_(makePlatformSteps()) {}

Launcher::~Launcher() {
  if (javaVm_ != nullptr) javaVm_->DestroyJavaVM();
}

int32_t Launcher::run() {
  int32_t exitCode = -1;
  if (!startUp(exitCode)) return exitCode;
  if (runtime_.forSibling) {
    const std::wstring sibling = pairedLauncherPath(settings_.pairProduct, paths_.folder, nativePathStyle());
    return handOverToSibling(sibling, paths_.executable, settings_.pairReturnCode, startedBySibling_);
  }
  prepareJvmEnvironment(runtime_.jvmLibrary, settings_, paths_, setup_);
  if (!loadJvmLibrary(runtime_.jvmLibrary, jvm_)) return -1;
  // Without a class path it has written its message; the run goes on.
  assembleJvmConfiguration(settings_, paths_, setup_, arguments_);
  if (setup_.stackSize == 0) setup_.stackSize = defaultJavaStackSize(jvm_);
  return static_cast<int32_t>(runOnWorkerThread(&Launcher::workerMain, this, setup_.stackSize));
}

bool Launcher::startUp(int32_t& exitCode) {
  startedBySibling_ = takeStartedBySiblingMark();
  if (!findLauncherPaths(paths_)) return false;
  if (!loadSettings(paths_, settings_)) return false;
  if (!platform_->admit(settings_, paths_, arguments_, exitCode)) return false;
  // Before the runtime search, so that a relative JRE Path is taken against
  // the launcher's folder.
  if (settings_.overrideWorkingDir) moveToLauncherFolder();

  RuntimeRequest request;
  request.jrePath = settings_.jrePath;
  request.launcherFolder = paths_.folder;
  request.hasSibling = !settings_.pairProduct.empty();
  request.criteria = settings_.runtime;
  if (chooseJavaRuntime(request, runtime_)) return true;
  return platform_->onMissingRuntime(missingRuntimeText(settings_.runtime), settings_, paths_, runtime_);
}

void Launcher::moveToLauncherFolder() {
  // A launcher in a drive's root gives the bare drive designator (C:), which
  // stands for that drive's current directory.
  const std::wstring folder = parentFolder(paths_.executable, nativePathStyle().separator);
  if (!folder.empty()) changeCurrentDirectory(folder);
}

uint32_t Launcher::workerMain(void* context) {
  constexpr uint32_t kFailed = static_cast<uint32_t>(-1);
  Launcher& launcher = *static_cast<Launcher*>(context);
  // createJvm has written its own message when it fails.
  if (!createJvm(launcher.jvm_, launcher.setup_, launcher.javaVm_, launcher.jniEnv_)) return kFailed;
  MainClassCall call;
  call.vm = launcher.javaVm_;
  call.env = launcher.jniEnv_;
  call.findClassFromBootLoader = launcher.jvm_.findClassFromBootLoader;
  call.mainClass = launcher.settings_.mainClass;
  call.arguments = launcher.arguments_;
  call.failureCheck = launcher.settings_.failureCheck;
  call.parkAfterMain = launcher.runtime_.ibmRuntime;
  call.beforeMain = [&launcher] {
    launcher.platform_->beforeMain(launcher.javaVm_, launcher.settings_.mainClass, launcher.runtime_.ibmRuntime);
  };
  switch (runMainClass(call)) {
    case MainOutcome::Returned:
      return 0;
    case MainOutcome::Threw:
      // As the JDK's own launcher ends after an uncaught exception.
      return 1;
    case MainOutcome::NotCalled:
      break;
  }
  return kFailed;
}

}  // namespace tarn
