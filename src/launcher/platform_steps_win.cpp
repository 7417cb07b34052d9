// Windows: the single-instance guard enters the run flow here. The service
// host and the JRE Not Found dialog are not built yet: their steps are those
// of a platform without them, service mode is refused and the dialog's text
// is written as an error line.
#include "launcher/platform_steps.h"
#include "run/instance_block.h"
#include "run/single_instance.h"

namespace tarn {
namespace {

class WindowsSteps : public PlatformSteps {
 public:
  // Single Instance=yes outside service mode: the guard. A second instance
  // hands its arguments over, waits for the answer and ends the start with it.
  bool admit(const Settings& settings, const LauncherPaths& paths, const std::vector<std::wstring>& arguments,
             int32_t& exitCode) override {
    if (settings.service || !settings.singleInstance) return PlatformSteps::admit(settings, paths, arguments, exitCode);
    if (guard_.setUp(instanceObjectName(paths.executable)) != InstanceRole::Second) return true;
    exitCode = guard_.handOver(arguments);
    return false;
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
