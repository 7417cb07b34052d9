#pragma once
// The application manifest (RT_MANIFEST 1) of a stamped launcher: the
// launcher's own manifest (resources/tarn.manifest) with the stamp's
// choices put in.

#include <cstdint>
#include <string>

namespace tarn::stamper {

enum class ExecutionLevel { AsInvoker, HighestAvailable, RequireAdministrator };
enum class DpiAwareness { Unaware, System, PerMonitor };

struct ManifestChoices {
  ExecutionLevel executionLevel = ExecutionLevel::AsInvoker;
  DpiAwareness dpiAwareness = DpiAwareness::PerMonitor;
  bool longPathAware = false;
};

// Who the manifest says the program is: the launcher's own, unless the
// stamp gives the application's version information.
struct ManifestIdentity {
  std::string name = "Tarn.Launcher";  // letters, digits, '.', '-' and '_'
  std::string version = "0.1.0.0";     // four numbers
  std::string description = "Tarn Java application launcher";  // UTF-8, any text
};

// The identity of an application from its version information: the name
// from the company and product names (what a manifest name may hold of
// them, joined by '.'; the launcher's own when nothing is left), the
// version numbers, and the description (else the product name).
ManifestIdentity applicationIdentity(const std::wstring& company, const std::wstring& productName,
                                     const uint16_t (&version)[4], const std::wstring& description);

// UTF-8 text; the defaults give the launcher's own manifest.
std::string manifestText(const ManifestChoices& choices, const ManifestIdentity& identity = ManifestIdentity{});

}  // namespace tarn::stamper
