#pragma once
// Where a runtime folder picked in the JRE Not Found dialog is kept, so that
// the next start finds it as its JRE Path.

#include <string>
#include <vector>

#include "config/launcher_paths.h"
#include "config/settings.h"

namespace tarn {

// The files that receive "JRE Path": the per-user file (and the paired
// launcher's per-user file with Pair Product) when `perUserFolder` is not
// empty and the launcher is no service; otherwise the configuration file
// beside the executable (and the paired launcher's). The paired launcher's
// path is taken against the launcher's folder, as its start is.
std::vector<std::wstring> jrePathTargets(const Settings& settings, const LauncherPaths& paths,
                                         const std::wstring& perUserFolder, const PathStyle& style);

// Writes `folder` as "JRE Path" into every target of the native platform,
// making the folders of a per-user file first. A file that cannot be
// written is passed over: the start goes on with the pick.
void keepPickedRuntimeFolder(const Settings& settings, const LauncherPaths& paths, const std::wstring& folder);

}  // namespace tarn
