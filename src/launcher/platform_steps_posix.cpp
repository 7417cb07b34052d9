// Linux: the single-instance guard and the systemd service enter the run
// flow here; there is no window to ask for a runtime in.
#include <memory>

#include "launcher/platform_steps.h"
#include "run/single_instance.h"
#include "run/systemd_service_posix.h"

namespace tarn {
namespace {

class PosixSteps : public PlatformSteps {
 public:
  bool admit(const Settings& settings, const LauncherPaths& paths, const std::vector<std::wstring>& arguments,
             int32_t& exitCode) override {
    // A service runs without the guard, as on Windows.
    if (settings.service) {
      service_ = std::make_unique<SystemdService>(settings);
      return true;
    }
    if (!settings.singleInstance) return true;
    return guard_.admit(paths.executable, arguments, exitCode);
  }

  int32_t runRest(const Settings& settings, const LauncherPaths& paths, const HostedRunner& rest) override {
    if (!service_) return PlatformSteps::runRest(settings, paths, rest);
    return service_->run(rest);
  }

  void beforeMain(JavaVM* vm, const std::wstring& mainClass, bool threadsStayAttached) override {
    if (service_) service_->mainStarting();
    guard_.mainStarting(vm, mainClass, threadsStayAttached);
  }

  void runEnded(int32_t exitCode) override { guard_.runEnded(exitCode); }

 private:
  // Held until the end of the run: the guard is let go after the VM's
  // teardown, and the service's stop thread may outlive the run.
  SingleInstanceGuard guard_;
  std::unique_ptr<SystemdService> service_;
};

}  // namespace

std::unique_ptr<PlatformSteps> makePlatformSteps() { return std::make_unique<PosixSteps>(); }

}  // namespace tarn
