// Windows: the service host enters the run flow here, and the single-instance
// guard and the JRE Not Found dialog will, each as an override of its step.
// Until those two are built the steps are those of a platform without them:
// the guard's setting is refused, and the dialog's text is written as an
// error line.
#include "launcher/platform_steps.h"
#include "run/service_host.h"

namespace tarn {
namespace {

class WindowsSteps : public PlatformSteps {
 public:
  bool admit(const Settings& settings, const LauncherPaths& paths, const std::vector<std::wstring>& arguments,
             int32_t& exitCode) override {
    // Service mode is this platform's own; the rest is decided as elsewhere.
    Settings others = settings;
    others.service = false;
    return PlatformSteps::admit(others, paths, arguments, exitCode);
  }

  // A service runs the rest of its start inside ServiceMain.
  int32_t runRest(const Settings& settings, const LauncherPaths& paths, const RestOfStart& rest) override {
    if (!settings.service) return PlatformSteps::runRest(settings, paths, rest);
    return runServiceDispatcher(settings, paths, rest);
  }
};

}  // namespace

std::unique_ptr<PlatformSteps> makePlatformSteps() { return std::make_unique<WindowsSteps>(); }

}  // namespace tarn
