#pragma once
// The ways of running that one platform has and the other lacks, at the
// points of the run flow where they enter. The class itself is a platform
// without any of them; a platform file (platform_steps_win.cpp,
// platform_steps_posix.cpp) makes the steps of its platform, overriding what
// it has and keeping whatever its steps hold until the end of the run. A
// step that exists on one platform only is called from that file alone.

#include <jni.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/launcher_paths.h"
#include "config/settings.h"
#include "discovery/runtime_choice.h"
#include "run/main_class.h"
#include "run/run_outcome.h"

namespace tarn {

class PlatformSteps {
 public:
  virtual ~PlatformSteps() = default;

  // Once the settings are read. False ends the start with exitCode. Here:
  // service mode and the single-instance guard are refused (the message
  // written, -1) rather than the application run some other way.
  virtual bool admit(const Settings& settings, const LauncherPaths& paths,
                     const std::vector<std::wstring>& arguments, int32_t& exitCode);

  // No source had a runtime; `text` names the versions wanted and ends in
  // "from:". True when a runtime was chosen all the same (into `choice`);
  // false ends the start with -1. Here: the text is written as an error
  // line, followed by the download address.
  virtual bool onMissingRuntime(const std::wstring& text, const Settings& settings, const LauncherPaths& paths,
                                RuntimeChoice& choice);

  // Runs the rest of the start and gives the process exit code. Here: at
  // once, on the calling thread, with nothing added.
  virtual int32_t runRest(const Settings& settings, const LauncherPaths& paths, const HostedRunner& rest);

  // On the worker thread, right before the main class's main is called on
  // `vm`. Here: nothing.
  // threadsStayAttached: see RuntimeChoice::threadsStayAttached.
  virtual void beforeMain(JavaVM* vm, const std::wstring& mainClass, bool threadsStayAttached);

  // The run is over with this exit code; the VM's teardown comes after.
  // Here: nothing.
  virtual void runEnded(int32_t exitCode);

  // "Failure Check" is on: how a person is asked, once main has ended with
  // an exception, whether the application stops. Null when no one can be
  // asked; the run then goes on as without the setting. Here: null, there
  // is no window to ask in.
  virtual StopQuestion exceptionQuestion(const Settings& settings);
};

std::unique_ptr<PlatformSteps> makePlatformSteps();

}  // namespace tarn
