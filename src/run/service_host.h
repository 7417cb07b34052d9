#pragma once
// Windows: running the Java application as a service of the service control
// manager, in a process of its own, under whatever name it was installed.

#include <cstdint>

#include "config/launcher_paths.h"
#include "config/settings.h"
#include "run/run_outcome.h"

namespace tarn {

// Hands the calling thread to the service control dispatcher. ServiceMain
// reports the service running and calls `run` with the service's arguments
// and a gate for stops; when it returns the service is reported stopped,
// with ERROR_SERVICE_SPECIFIC_ERROR and the code of serviceSpecificCode
// when the run failed. Meanwhile the launcher's messages go to the file of
// serviceLogPath. Stop and shutdown controls call the main class's static
// stop() on a thread of their own; the VM exiting with 0 reports the
// service stopped.
//
// Returns the process exit code: 0 once the dispatcher has returned, else
// the Windows error (1063 when the process was not started by the manager).
int32_t runServiceDispatcher(const Settings& settings, const LauncherPaths& paths, HostedRunner run);

}  // namespace tarn
