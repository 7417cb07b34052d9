#pragma once
// The application manifest (RT_MANIFEST 1) of a stamped launcher: the
// launcher's own manifest (resources/tarn.manifest) with the stamp's
// choices put in.

#include <string>

namespace tarn::stamper {

enum class ExecutionLevel { AsInvoker, HighestAvailable, RequireAdministrator };
enum class DpiAwareness { Unaware, System, PerMonitor };

struct ManifestChoices {
  ExecutionLevel executionLevel = ExecutionLevel::AsInvoker;
  DpiAwareness dpiAwareness = DpiAwareness::PerMonitor;
  bool longPathAware = false;
};

// UTF-8 text; the defaults give the launcher's own manifest.
std::string manifestText(const ManifestChoices& choices);

}  // namespace tarn::stamper
