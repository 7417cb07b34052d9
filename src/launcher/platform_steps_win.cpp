// Windows: the service host, the single-instance guard, the JRE Not Found
// dialog, the Java Exception dialog and the windowless launcher's box for the
// runtime's own errors enter the run flow here, each as an override of its
// step.
#include <windows.h>

#include "base/diagnosis.h"
#include "config/jre_path_write_back.h"
#include "discovery/java_home.h"
#include "launcher/runtime_error_box_win.h"
#include "launcher/platform_steps.h"
#include "run/service_host.h"
#include "run/single_instance.h"
#include "ui/exception_dialog_win.h"
#include "ui/interactive_desktop_win.h"
#include "ui/missing_jre_dialog_win.h"

namespace tarn {
namespace {

class WindowsSteps : public PlatformSteps {
 public:
  bool admit(const Settings& settings, const LauncherPaths& paths, const std::vector<std::wstring>& arguments,
             int32_t& exitCode) override {
    // Service mode is this platform's own and runs without the guard.
    if (settings.service) return true;
    if (!settings.singleInstance) return PlatformSteps::admit(settings, paths, arguments, exitCode);
    // Single Instance=yes: the guard. A second instance hands its arguments
    // over, waits for the answer and ends the start with it.
    return guard_.admit(paths.executable, arguments, exitCode);
  }

  bool onMissingRuntime(const std::wstring& text, const Settings& settings, const LauncherPaths& paths,
                        RuntimeChoice& choice) override;

  // A service runs the rest of its start inside ServiceMain.
  int32_t runRest(const Settings& settings, const LauncherPaths& paths, const HostedRunner& rest) override {
    if (settings.service) return runServiceDispatcher(settings, paths, rest);
    // Failure Check's dialog shows an exception itself.
    if (!settings.failureCheck && runtimeErrorsWouldBeLost()) errorBox_.start();
    RunOutcome outcome;
    const int32_t exitCode = PlatformSteps::runRest(settings, paths, [&](const HostedRun& hosted) {
      outcome = rest(hosted);
      return outcome;
    });
    // Main could not be run, or it ended with an exception (code 1).
    const bool explained = outcome.failure == RunFailure::MainClass ||
                           (outcome.failure == RunFailure::None && outcome.exitCode == 1);
    errorBox_.finish(explained);
    return exitCode;
  }

  void beforeMain(JavaVM* vm, const std::wstring& mainClass, bool threadsStayAttached) override {
    errorBox_.mainStarting();
    guard_.mainStarting(vm, mainClass, threadsStayAttached);
  }

  // A service, or a start in a window station no one sees, would wait for
  // ever on the dialog.
  StopQuestion exceptionQuestion(const Settings& settings) override {
    if (settings.service || !hasInteractiveDesktop()) return nullptr;
    return &askToStopAfterException;
  }

 private:
  // Held until the end of the run: released after the VM's teardown.
  SingleInstanceGuard guard_;
  RuntimeErrorBox errorBox_;
};

// A service has no desktop a person sees, and neither has a start in
// another window station: a dialog there would wait for ever, so the text
// is written as from a platform without the dialog.
bool WindowsSteps::onMissingRuntime(const std::wstring& text, const Settings& settings, const LauncherPaths& paths,
                                    RuntimeChoice& choice) {
  if (settings.service || !hasInteractiveDesktop()) {
    return PlatformSteps::onMissingRuntime(text, settings, paths, choice);
  }
  MissingJrePick pick;
  const INT_PTR result = showMissingJreDialog(text, settings.downloadUrl, settings.runtime.jvmType, GetActiveWindow(), pick);
  if (result != IDOK) {
    // A dialog that could not be shown at all says as much as the
    // platform without one.
    if (result != IDCANCEL) PlatformSteps::onMissingRuntime(text, settings, paths, choice);
    return false;
  }
  choice = RuntimeChoice{};
  choice.jvmLibrary = pick.jvmLibrary;
  choice.forSibling = jvmLibraryNeedsSibling(pick.jvmLibrary, !settings.pairProduct.empty());
  keepPickedRuntimeFolder(settings, paths, pick.folder);
  if (diagnosing()) {
    diagnose("picked in the dialog: %s, kept as JRE Path", pick.jvmLibrary);
  }
  return true;
}

}  // namespace

std::unique_ptr<PlatformSteps> makePlatformSteps() { return std::make_unique<WindowsSteps>(); }

}  // namespace tarn
