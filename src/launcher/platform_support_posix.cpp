// Linux: no service control manager, and no single-instance guard (it hands a
// second start's arguments over through Windows messages and shared memory).
// Either one configured is refused rather than ignored: a service would never
// be stopped through its "stop" method, and a second instance would run the
// application twice. Pair Product needs no check, since no runtime here is
// ever handed to a sibling launcher.
#include "config/layered_ini_file.h"
#include "config/settings_names.h"
#include "launcher/launcher.h"
#include "launcher/platform_support.h"
#include "run/error_output.h"
#include "ui/message_table.h"

namespace tarn {
namespace {

void reportUnsupported(const std::wstring& setting) {
  printError(loadMessage(MessageId::NotSupportedOnPlatform), setting);
}

}  // namespace

bool supportsConfiguredMode(Launcher& launcher) {
  using namespace settings;
  if (launcher.isService) {
    reportUnsupported(L"Application Type=service");
    return false;
  }
  std::wstring path;
  if (!launcher.configFilePath(path)) return false;
  std::wstring value;
  LayeredIniFile(path, builtInSettingsText(launcher.upgradeCode)).readString(kApplication, kSingleInstance, value);
  // The value that turns the guard on; anything else leaves it off, as on Windows.
  if (value == L"yes") {
    reportUnsupported(L"Single Instance=yes");
    return false;
  }
  return true;
}

}  // namespace tarn
