#pragma once
// The runtimes installed on the machine, the source after JRE Path and the
// runtime beside the launcher: the registry on Windows
// (installed_runtimes_win.cpp), the folders of packages and installers on
// Linux (installed_runtimes_posix.cpp).

#include "discovery/candidate_ranking.h"
#include "discovery/runtime_choice.h"

namespace tarn {

// How the diagnose mode names this source: "registry", "installed runtimes".
extern const wchar_t kInstalledRuntimeSource[];

// The runtime chosen among the installed ones; `forSibling` when it is the
// paired launcher's (one of the 32-bit registry view). False when none fits.
bool chooseInstalledRuntime(const RuntimeRequest& request, JvmCandidate& chosen, bool& forSibling);

}  // namespace tarn
