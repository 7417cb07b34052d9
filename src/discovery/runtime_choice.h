#pragma once
// The choice of a Java runtime: the sources in order of precedence, each
// asked only when the ones before it have nothing.

#include <string>

#include "discovery/runtime_criteria.h"

namespace tarn {

struct RuntimeRequest {
  // "JRE Path" as configured; a relative one is taken against the current
  // directory, and the library chosen from it is a full path.
  std::wstring jrePath;
  // The launcher's folder, ending in a separator: the private runtime's place.
  std::wstring launcherFolder;
  // "Pair Product" is configured, so a 32-bit runtime can be handed over.
  bool hasSibling = false;
  RuntimeCriteria criteria;
  // Linux: put before every system folder of the installed runtimes. Empty,
  // except in the build of the end-to-end scenarios (tests/CMakeLists.txt),
  // which compiles in a folder where they lay out a machine's runtimes.
  const wchar_t* machineRoot = L"";
};

struct RuntimeChoice {
  std::wstring jvmLibrary;
  // The runtime is the sibling launcher's to run (a 32-bit one).
  bool forSibling = false;
  // The runtime's threads stay attached after main returns (the main thread
  // parks, a stop or request thread never detaches): one registered under
  // IBM's key. A runtime named by JRE Path or shipped beside the launcher is
  // never taken for one: nothing in a Java home says reliably who built its VM.
  bool threadsStayAttached = false;
};

// JRE Path, then the private runtime beside the launcher, then the installed
// runtimes (installed_runtimes.h). On Windows those are the registry's of
// the launcher's own view (the classic keys, then today's installers' keys
// of the machine and of the user, ranked together), then (with a sibling
// only) the 32-bit view's; on Linux JAVA_HOME's (when the criteria switch it
// on) and those in the folders of packages and installers.
// False when none of them has a runtime.
bool chooseJavaRuntime(const RuntimeRequest& request, RuntimeChoice& out);

// The text of the JRE Not Found dialog for the criteria.
std::wstring missingRuntimeText(const RuntimeCriteria& criteria);

}  // namespace tarn
