#include "launcher/platform_steps.h"

#include "base/error_output.h"
#include "base/message_table.h"

namespace tarn {
namespace {

bool refuseSetting(const wchar_t* setting) {
  printError(loadMessage(MessageId::NotSupportedOnPlatform), setting);
  return false;
}

}  // namespace

bool PlatformSteps::admit(const Settings& settings, const LauncherPaths&, const std::vector<std::wstring>&,
                          int32_t& exitCode) {
  exitCode = -1;
  if (settings.service) return refuseSetting(L"Application Type=service");
  if (settings.singleInstance) return refuseSetting(L"Single Instance=yes");
  return true;
}

bool PlatformSteps::onMissingRuntime(const std::wstring& text, const Settings& settings, const LauncherPaths&,
                                     RuntimeChoice&) {
  printError(text + L' ' + settings.downloadUrl);
  return false;
}

int32_t PlatformSteps::runRest(const Settings&, const LauncherPaths&, const HostedRunner& rest) {
  return rest(HostedRun()).exitCode;
}

void PlatformSteps::beforeMain(JavaVM*, const std::wstring&, bool) {}

void PlatformSteps::runEnded(int32_t) {}

StopQuestion PlatformSteps::exceptionQuestion(const Settings&) { return nullptr; }

}  // namespace tarn
