// PLACEHOLDERS for the steps that later stages build: the missing-runtime
// dialog, the single-instance guard and the service host. Each entry here is
// removed when its real definition lands; this file then goes.
#include "launcher/launcher.h"
#include "run/service_host.h"

namespace tarn {

bool Launcher::setupSingleInstance() { return true; }

bool Launcher::showMissingJreDialog(const std::wstring&) { return false; }

int32_t Launcher::waitForRunningInstance() { return -1; }

void Launcher::releaseSingleInstance() {}

// No service host yet: service mode fails as a failed service set-up does.
int32_t runServiceMode(Launcher&) { return -1; }

}  // namespace tarn
