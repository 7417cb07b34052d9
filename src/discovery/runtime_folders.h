#pragma once
// The Java runtimes installed on Linux: the folders where packages and
// installers put them, one runtime an entry. Each entry's version comes from
// its "release" file, and the runtime goes through the filters and the
// ranking of the registry's runtimes (runtime_admission.h,
// candidate_ranking.h). A link and its target are one runtime.
//
// The search is portable and reads the file system through FolderProbe, so
// it is tested natively against a fake one.

#include <functional>
#include <string>
#include <vector>

#include "discovery/candidate_ranking.h"
#include "discovery/java_home.h"
#include "discovery/runtime_criteria.h"

namespace tarn {

struct RuntimeFolder {
  // Absolute, or below the user's home folder when `perUser`; no trailing "/".
  const wchar_t* path;
  bool perUser;
  // An entry holds its runtime, or, without a release file of its own, in
  // each of its sub-folders (the archive's own top folder).
  bool nested;
};

extern const RuntimeFolder kRuntimeFolders[11];

// The file system as the search reads it.
struct FolderProbe {
  // Existence and the release file, on the POSIX layout.
  const JavaHomeProbe& home;
  // The names in a folder, in any order; none when it cannot be read.
  std::function<std::vector<std::wstring>(const std::wstring& folder)> names;
  // The path with every link resolved, without a trailing "/"; empty when
  // it names nothing (a broken link).
  std::function<std::wstring(const std::wstring& path)> resolve;
};

// Where one start looks.
struct InstalledPlaces {
  // Put before every system folder: empty, except in the build of the
  // end-to-end scenarios, which searches a machine laid out in a folder.
  std::wstring machineRoot;
  // The user's home folder, absolute; empty: no per-user folder is searched.
  std::wstring userHome;
  // JAVA_HOME's value, looked at only with Use JAVA_HOME=yes.
  bool javaHomeSet = false;
  std::wstring javaHome;
};

// With the criteria's Use JAVA_HOME, the runtime JAVA_HOME names, taken when
// it passes the filters; otherwise every folder's runtimes, ranked, and the
// one chosen. False when none fits. The diagnose mode tells each entry.
bool chooseFromFolders(const RuntimeCriteria& criteria, const InstalledPlaces& places, const FolderProbe& probe,
                       JvmCandidate& chosen);

}  // namespace tarn
