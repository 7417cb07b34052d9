#pragma once
// Paths in a configuration file written for Windows, read on a platform
// without Windows forms, so that one file serves both: a backslash is a
// separator there too. A class path entry with a leading backslash is taken
// against the launcher's folder, as Windows takes it; any other path with a
// leading one starts at the root, as on Windows it starts at the root of the
// current drive. A path with a drive letter or a network path names nothing
// there: it is reported (the setting named) and left out.

#include <string>

#include "base/path.h"
#include "config/settings.h"

namespace tarn {

// The configured path in the platform's own form, or false (the message
// written) when it can only name something on Windows. On Windows it is
// left as it is.
bool nativeConfiguredPath(const wchar_t* setting, const PathStyle& style, std::wstring& path);

// Every path-valued setting (JRE Path, the class path's entries, Library
// Path, Output File, Error File) in the platform's own form.
void nativeConfiguredPaths(const PathStyle& style, Settings& settings);

}  // namespace tarn
