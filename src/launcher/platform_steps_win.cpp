// Windows: the service host and the single-instance guard enter the run flow
// here, each as an override of its step. The JRE Not Found dialog is not
// built yet: its step is that of a platform without it, and its text is
// written as an error line.
#include "launcher/platform_steps.h"
#include "run/instance_block.h"
#include "run/service_host.h"
#include "run/single_instance.h"

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
    if (guard_.setUp(instanceObjectName(paths.executable)) != InstanceRole::Second) return true;
    exitCode = guard_.handOver(arguments);
    return false;
  }

  // A service runs the rest of its start inside ServiceMain.
  int32_t runRest(const Settings& settings, const LauncherPaths& paths, const RestOfStart& rest) override {
    if (!settings.service) return PlatformSteps::runRest(settings, paths, rest);
    return runServiceDispatcher(settings, paths, rest);
  }

  void beforeMain(JavaVM* vm, const std::wstring& mainClass, bool ibmRuntime) override {
    guard_.mainStarting(vm, mainClass, ibmRuntime);
  }

 private:
  // Held until the end of the run: released after the VM's teardown.
  SingleInstanceGuard guard_;
};

}  // namespace

std::unique_ptr<PlatformSteps> makePlatformSteps() { return std::make_unique<WindowsSteps>(); }

}  // namespace tarn
