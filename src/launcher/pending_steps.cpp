// PLACEHOLDERS for the steps that later stages build: the runtime sources
// (JRE Path, private runtime, registry, the missing-runtime dialog), the
// single-instance guard, the sibling start, the VM hosting and the service
// host. Each entry here is removed when its real definition lands; this file
// then goes.
#include "launcher/launcher.h"
#include "run/service_host.h"

namespace tarn {

bool Launcher::setupSingleInstance() { return true; }

// No runtime source exists yet, and no dialog to ask the user: start-up fails.
bool Launcher::chooseJavaRuntime() { return false; }

bool Launcher::findPrivateRuntime(std::wstring&) { return false; }

void Launcher::checkJvmMachine() { relaunchPair = false; }

bool Launcher::searchRegistry(bool, std::wstring&) { return false; }

bool Launcher::showMissingJreDialog(const std::wstring&) { return false; }

int32_t Launcher::waitForRunningInstance() { return -1; }

int32_t Launcher::relaunchSibling() { return 0; }

void Launcher::prepareJvmEnvironment() {}

bool Launcher::loadJvmLibrary(const std::wstring&) { return false; }

void Launcher::assembleJvmConfiguration() {}

void Launcher::addVmParameters(const std::wstring&, std::vector<std::wstring>&) {}

bool Launcher::createJvm() { return false; }

uint64_t Launcher::defaultJavaStackSize() { return 0; }

int32_t Launcher::runJavaApplication() { return -1; }

bool Launcher::runMainClass() { return false; }

void Launcher::releaseSingleInstance() {}

// No service host yet: service mode fails as a failed service set-up does.
int32_t runServiceMode(Launcher&) { return -1; }

}  // namespace tarn
