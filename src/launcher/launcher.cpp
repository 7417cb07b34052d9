#include "launcher/launcher.h"

#include "base/diagnosis.h"
#include "base/environment.h"
#include "base/error_output.h"
#include "base/message_table.h"
#include "base/text.h"
#include "jvm/class_data_archive.h"
#include "jvm/class_path.h"
#include "jvm/jvm_creation.h"
#include "jvm/splash_screen.h"
#include "launcher/process_platform.h"
#include "run/main_class.h"
#include "run/restart.h"
#include "run/sibling_relaunch.h"
#include "run/start_gate.h"
#include "run/worker_thread.h"

namespace tarn {
namespace {

const char* failureFact(RunFailure failure) {
  switch (failure) {
    case RunFailure::NoRuntime:
      return "exit code %s: no Java runtime was found";
    case RunFailure::JvmLibrary:
      return "exit code %s: the JVM library could not be loaded";
    case RunFailure::VmCreation:
      return "exit code %s: the VM refused to be created";
    case RunFailure::NoClassPath:
      return "exit code %s: no class path, so the VM was not started (see the message)";
    case RunFailure::MainClass:
      return "exit code %s: the main class or main could not be run";
    case RunFailure::Abandoned:
      return "exit code %s: stopped before main was called";
    case RunFailure::None:
      break;
  }
  return nullptr;
}

// The exit code with what it says, as in the configuration guide's table.
const char* exitFact(int32_t exitCode, const RunOutcome& outcome, bool admitted, bool sibling) {
  if (!admitted) {
    return exitCode == -1 ? "exit code %s: the start ended early (see the message)"
                          : "exit code %s: the running instance's answer";
  }
  if (const char* fact = failureFact(outcome.failure)) return fact;
  if (sibling) return "exit code %s: the paired launcher's result";
  if (exitCode == 0) return "exit code %s: main returned";
  return exitCode == 1 ? "exit code %s: main ended with an exception" : "exit code %s";
}

}  // namespace

Launcher::Launcher(std::vector<std::wstring> arguments, const wchar_t* machineRoot)
    : arguments_(std::move(arguments)), machineRoot_(machineRoot), platform_(makePlatformSteps()) {}

Launcher::~Launcher() {
  if (javaVm_ != nullptr) {
    const PhaseTimer teardown;
    javaVm_->DestroyJavaVM();
    teardown.report("DestroyJavaVM (the application's threads) took %s");
  }
  adoptWrittenArchive();
  if (diagnosing()) diagnose(exitFact_, decimalText(exitCode_));
  whole_.report("the whole start took %s");
}

int32_t Launcher::run() {
  int32_t exitCode = -1;
  const bool admitted = startUp(exitCode);
  if (admitted) {
    exitCode =
        platform_->runRest(settings_, paths_, [this](const HostedRun& hosted) { return runAdmitted(hosted); });
  }
  if (admitted) platform_->runEnded(exitCode);
  exitCode_ = exitCode;
  exitFact_ = exitFact(exitCode, outcome_, admitted, runtime_.forSibling);
  return exitCode;
}

bool Launcher::startUp(int32_t& exitCode) {
  restarts_ = takeRestartMark();
  startedBySibling_ = takeStartedBySiblingMark();
  if (!findLauncherPaths(paths_)) return false;
  const std::wstring applicationFolder = applicationFolderValue(paths_.folder, nativePathStyle());
  setEnvironmentVariable(kApplicationFolderVariable, applicationFolder);
  if (diagnosing()) {
    diagnose("launcher %s", paths_.executable);
    diagnose("TARN_APP_DIR=%s (the launcher's folder, for %TARN_APP_DIR% in the configuration)",
             applicationFolder);
  }
  const PhaseTimer reading;
  if (!loadSettings(paths_, settings_)) return false;
  reading.report("reading the configuration took %s");
  return platform_->admit(settings_, paths_, arguments_, exitCode);
}

RunOutcome Launcher::runAdmitted(const HostedRun& hosted) {
  outcome_ = runChosen(hosted);
  return outcome_;
}

RunOutcome Launcher::runChosen(const HostedRun& hosted) {
  arguments_.insert(arguments_.end(), hosted.extraArguments.begin(), hosted.extraArguments.end());
  gate_ = hosted.gate;
  // Before the runtime search, so that a relative JRE Path is taken against
  // the launcher's folder.
  if (settings_.overrideWorkingDir) moveToLauncherFolder();
  const PhaseTimer search;
  const bool found = chooseRuntime();
  search.report("the runtime search took %s");
  if (!found) return {-1, RunFailure::NoRuntime};
  if (runtime_.forSibling) {
    const std::wstring sibling = pairedLauncherPath(settings_.pairProduct, paths_.folder, nativePathStyle());
    return {handOverToSibling(sibling, paths_.executable, settings_.pairReturnCode, startedBySibling_),
            RunFailure::None};
  }
  if (!prepareJvmEnvironment(runtime_.jvmLibrary, settings_, paths_, setup_)) return {-1, RunFailure::VmCreation};
  // After the environment, whose TARN_JVM_HOME the path may name; before
  // the JVM library is loaded.
  mainJar_ = configuredFilePath(settings_.mainJar, paths_);
  if (!mainJar_.empty() && !isFile(mainJar_)) {
    printError(loadMessage(MessageId::MainJarMissing), mainJar_);
    return {-1, RunFailure::MainClass};
  }
  const PhaseTimer loading;
  if (!loadJvmLibrary(runtime_.jvmLibrary, jvm_)) return {-1, RunFailure::JvmLibrary};
  loading.report("loading the JVM library took %s");
  const PhaseTimer assembling;
  // Without a class path the VM would take its classes from CLASSPATH or
  // the current directory: the start ends, its message written. A main
  // module needs none, as under java --module: the class path is empty.
  const bool classPathNeeded = needsClassPath(settings_);
  const std::wstring classPath = classPathNeeded ? assembleClassPath(settings_, paths_, mainJar_) : std::wstring();
  if (classPathNeeded && classPath.empty()) return {-1, RunFailure::NoClassPath};
  const std::wstring modulePath = assembleModulePath(settings_, paths_);
  appendCmdArguments(settings_.cmd, arguments_);
  if (!assembleJvmConfiguration(classPath, modulePath, settings_, setup_, arguments_, mainJar_)) {
    return {-1, RunFailure::VmCreation};
  }
  for (const std::string& option : hosted.vmOptions) setup_.options.add(option);
  if (settings_.classDataSharing) {
    prepareClassDataArchive({paths_.executable, runtime_.jvmLibrary, classPath, settings_.vmParameters},
                            setup_.options);
  }
  if (setup_.stackSize == 0) setup_.stackSize = defaultJavaStackSize(jvm_);
  armRestart();
  assembling.report("the VM's options took %s");
  if (!settings_.splashImage.empty() && !settings_.service) {
    showSplashScreen(runtime_.jvmLibrary, configuredFilePath(settings_.splashImage, paths_));
  }
  return runOnWorkerThread(&Launcher::workerMain, this, setup_.stackSize);
}

bool Launcher::chooseRuntime() {
  RuntimeRequest request;
  request.jrePath = settings_.jrePath;
  request.launcherFolder = paths_.folder;
  request.hasSibling = !settings_.pairProduct.empty();
  request.criteria = settings_.runtime;
  request.machineRoot = machineRoot_;
  if (chooseJavaRuntime(request, runtime_)) return true;
  return platform_->onMissingRuntime(missingRuntimeText(settings_.runtime), settings_, paths_, runtime_);
}

void Launcher::armRestart() {
  if (settings_.restartExitCodes.empty()) return;
  // A service is started again by the service manager's recovery settings.
  if (settings_.service) {
    if (diagnosing()) diagnose("Restart Exit Code: not used by a service");
    return;
  }
  // The new start would find this process, still holding the guard while it
  // waits, and hand its arguments to it.
  if (settings_.singleInstance) {
    printError(loadMessage(MessageId::RestartWithSingleInstance));
    return;
  }
  setup_.options.add(kRestartCountProperty + toUtf8(unsignedDecimalText(restarts_)));
  restartOnExitCodes(settings_.restartExitCodes, paths_.executable);
}

void Launcher::moveToLauncherFolder() {
  // A launcher in a drive's root gives the bare drive designator (C:), which
  // stands for that drive's current directory.
  const std::wstring folder = parentFolder(paths_.executable, nativePathStyle().separator);
  if (!folder.empty()) changeCurrentDirectory(folder);
}

RunOutcome Launcher::workerMain(void* context) {
  Launcher& launcher = *static_cast<Launcher*>(context);
  // createJvm has written its own message when it fails.
  if (!createJvm(launcher.jvm_, launcher.setup_, launcher.javaVm_, launcher.jniEnv_)) {
    return {-1, RunFailure::VmCreation};
  }
  const bool threadsStayAttached = launcher.runtime_.threadsStayAttached;
  if (launcher.gate_ != nullptr && !launcher.gate_->admitMain(launcher.javaVm_, threadsStayAttached)) {
    // Stopped before main: the thread leaves the VM, whose teardown would
    // otherwise wait for it.
    launcher.javaVm_->DetachCurrentThread();
    return {-1, RunFailure::Abandoned};
  }
  MainClassCall call;
  call.vm = launcher.javaVm_;
  call.env = launcher.jniEnv_;
  call.findClassFromBootLoader = launcher.jvm_.findClassFromBootLoader;
  call.mainClass = launcher.settings_.mainClass;
  call.mainJar = launcher.mainJar_;
  call.mainModule = launcher.settings_.mainModule;
  call.arguments = launcher.arguments_;
  if (launcher.settings_.failureCheck) call.askToStop = launcher.platform_->exceptionQuestion(launcher.settings_);
  call.threadsStayAttached = threadsStayAttached;
  call.beforeMain = [&launcher, threadsStayAttached](const std::wstring& mainClass) {
    launcher.platform_->beforeMain(launcher.javaVm_, mainClass, threadsStayAttached);
  };
  switch (runMainClass(call)) {
    case MainOutcome::Returned:
      return {0, RunFailure::None};
    case MainOutcome::Threw:
      // As the JDK's own launcher ends after an uncaught exception.
      return {1, RunFailure::None};
    case MainOutcome::Stopped:
      // Told to stop after an exception, and System.exit came back.
      return {-1, RunFailure::None};
    case MainOutcome::NotCalled:
      break;
  }
  return {-1, RunFailure::MainClass};
}

}  // namespace tarn
