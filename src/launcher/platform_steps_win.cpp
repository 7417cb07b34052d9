// Windows: the service host, the single-instance guard and the JRE Not
// Found dialog enter the run flow here, each as an override of its step.
// Until the first two are built their settings are refused as on a
// platform without them.
#include <windows.h>

#include "discovery/java_home.h"
#include "launcher/platform_steps.h"
#include "ui/interactive_desktop_win.h"
#include "ui/jre_path_write_back.h"
#include "ui/missing_jre_dialog_win.h"

namespace tarn {
namespace {

class WindowsSteps : public PlatformSteps {
 public:
  bool onMissingRuntime(const std::wstring& text, const Settings& settings, const LauncherPaths& paths,
                        RuntimeChoice& choice) override;
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
  return true;
}

}  // namespace

std::unique_ptr<PlatformSteps> makePlatformSteps() { return std::make_unique<WindowsSteps>(); }

}  // namespace tarn
