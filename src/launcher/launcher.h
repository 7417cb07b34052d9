#pragma once
// The run flow: the steps of a start in order, each given what it needs and
// returning what it decided. The Launcher holds only what lives across
// them: the launcher's paths and settings, the arguments, the chosen
// runtime, the loaded JVM library, the VM and the platform's own steps.

#include <jni.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/diagnosis.h"
#include "config/launcher_paths.h"
#include "config/settings.h"
#include "discovery/runtime_choice.h"
#include "jvm/jvm_configuration.h"
#include "jvm/jvm_library.h"
#include "launcher/platform_steps.h"

namespace tarn {

class Launcher {
 public:
  // `machineRoot`: see RuntimeRequest; empty in the launcher that ships.
  explicit Launcher(std::vector<std::wstring> arguments, const wchar_t* machineRoot = L"");
  // DestroyJavaVM: it waits for the application's remaining non-daemon threads.
  ~Launcher();
  Launcher(const Launcher&) = delete;
  Launcher& operator=(const Launcher&) = delete;

  // The whole start; the result is the process exit code.
  int32_t run();

 private:
  // The launcher's paths, its settings and the platform's admission; false
  // ends the start with exitCode.
  bool startUp(int32_t& exitCode);
  // The rest, run where the platform says: the runtime choice and the run
  // (runChosen); the outcome is kept for the diagnose mode's last line.
  RunOutcome runAdmitted(const HostedRun& hosted);
  RunOutcome runChosen(const HostedRun& hosted);
  bool chooseRuntime();
  // Override WorkingDir: the launcher's folder becomes the current directory.
  void moveToLauncherFolder();
  // Restart Exit Code: the count for the application and the exit hook's follow-up.
  void armRestart();
  // The worker thread's routine: creates the VM and runs the main class.
  // Its result says how main ended or which step failed (launcher.cpp).
  static RunOutcome workerMain(void* launcher);

  std::vector<std::wstring> arguments_;
  const wchar_t* machineRoot_;
  std::unique_ptr<PlatformSteps> platform_;
  LauncherPaths paths_;
  Settings settings_;
  // The Main Jar's full path; empty without one.
  std::wstring mainJar_;
  RuntimeChoice runtime_;
  JvmEntryPoints jvm_;
  VmSetup setup_;
  JavaVM* javaVm_ = nullptr;
  JNIEnv* jniEnv_ = nullptr;
  StartGate* gate_ = nullptr;
  // Started by the paired launcher: never hands the start on again.
  uint32_t restarts_ = 0;
  bool startedBySibling_ = false;
  RunOutcome outcome_;
  // Diagnose mode: the exit code and its meaning, told after the teardown.
  int32_t exitCode_ = -1;
  const char* exitFact_ = "exit code %s";
  PhaseTimer whole_;
};

}  // namespace tarn
