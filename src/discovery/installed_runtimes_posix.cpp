// Linux: the runtimes in the folders of packages and installers
// (runtime_folders.h), on the real file system.
#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>

#include "base/environment.h"
#include "base/file_system.h"
#include "base/path.h"
#include "base/text.h"
#include "discovery/installed_runtimes.h"
#include "discovery/java_home.h"
#include "discovery/release_file.h"
#include "discovery/runtime_folders.h"

namespace tarn {

const wchar_t kInstalledRuntimeSource[] = L"installed runtimes";

namespace {

std::wstring resolvedPath(const std::wstring& path) {
  std::unique_ptr<char, decltype(&std::free)> resolved(realpath(toUtf8(path).c_str(), nullptr), &std::free);
  return resolved ? fromUtf8(resolved.get()) : std::wstring();
}

// HOME, as every program of the user takes it; the account's entry when it
// is unset or not absolute (a service started without it).
std::wstring userHomeFolder() {
  std::wstring home;
  if (readEnvironmentVariable(L"HOME", home) && isAbsolutePath(home, kPosixPathStyle)) return home;
  struct passwd entry;
  struct passwd* found = nullptr;
  char buffer[4096];
  if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) != 0 || found == nullptr) return std::wstring();
  home = fromUtf8(found->pw_dir);
  return isAbsolutePath(home, kPosixPathStyle) ? home : std::wstring();
}

}  // namespace

bool chooseInstalledRuntime(const RuntimeRequest& request, JvmCandidate& chosen, bool& forSibling) {
  forSibling = false;
  const JavaHomeProbe home{nativeJavaHomeLayout(), pathExists, readReleaseFile};
  const FolderProbe probe{home, [](const std::wstring& folder) { return matchingNames(folder + L"/*"); },
                          resolvedPath};
  InstalledPlaces places;
  places.machineRoot = request.machineRoot;
  places.userHome = userHomeFolder();
  if (request.criteria.javaHomeVariable) places.javaHomeSet = readEnvironmentVariable(L"JAVA_HOME", places.javaHome);
  return chooseFromFolders(request.criteria, places, probe, chosen);
}

}  // namespace tarn
