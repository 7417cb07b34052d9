#pragma once
// The class path the VM is given: the configured entries searched in the
// file system, taken against the launcher's folder.

#include <string>

#include "base/path.h"
#include "config/launcher_paths.h"
#include "config/settings.h"

namespace tarn {

// What a class path entry is searched as, and the folder text put in front
// of every name the search yields.
struct ClassPathSearch {
  std::wstring pattern;
  std::wstring prefix;
};

// False for an empty entry: it names nothing, not the launcher's folder.
// The prefix is the pattern's own folder part, so every name found is
// written under the folder in which it was found.
bool classPathSearchFor(const std::wstring& entry, const std::wstring& launcherDirectory, const PathStyle& style,
                        ClassPathSearch& out);

// Appends each path the entry stands for, followed by the list separator:
// an absolute entry with "*" or any relative entry is searched in the file
// system; the names come in the order the file system gives them, "." and
// ".." included when the pattern matches them.
void expandClassPathEntry(const std::wstring& entry, const std::wstring& launcherDirectory, std::wstring& classPath);

// The full path of a configured file (Main Jar, Splash Image): environment
// references expanded, a relative one taken against the launcher's folder.
// Empty when none is set.
std::wstring configuredFilePath(const std::wstring& configured, const LauncherPaths& paths);

// The class path of the run in the platform's form, its entries separated
// by the platform's list separator: the main JAR (configuredFilePath) first, then
// the executable with Embedded Jar, then the [Class Path] entries. Empty,
// with its message written, when no entry yields a path.
std::wstring assembleClassPath(const Settings& settings, const LauncherPaths& paths,
                               const std::wstring& mainJar = std::wstring());

// Whether the run needs a class path: always but for a main module, which
// needs one only when Class Path or Embedded Jar gives it entries.
bool needsClassPath(const Settings& settings);

// The module path of the run, its entries found as the class path's. Empty
// when none is configured or no entry yields a path: a module it should have
// held is then reported missing by the VM.
std::wstring assembleModulePath(const Settings& settings, const LauncherPaths& paths);

}  // namespace tarn
