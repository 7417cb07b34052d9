#pragma once
// The filters that a runtime found by a search passes before it joins the
// ranking, wherever the search found it (a registry key of today's
// installers, a folder of installed runtimes, JAVA_HOME): the version
// bounds, JVM Source by the kit's compiler, VM Provider by its vendor, and a
// VM of the JVM type.

#include <string>
#include <vector>

#include "discovery/candidate_ranking.h"
#include "discovery/java_home.h"
#include "discovery/runtime_criteria.h"

namespace tarn {

// The home (with its trailing separator) is in the list already.
bool isListedHome(const std::vector<JvmCandidate>& list, const std::wstring& home);

// Appends the runtime at `home` when it passes the filters; false when it
// was passed over. `subject` names it in the diagnose mode's lines (the key
// or the folder it was found by), each passed-over one with its reason. A
// Java 8 kit whose VM lies only in its jre folder is admitted with that
// folder as its home, unless the list holds it already.
bool admitRuntimeHome(std::vector<JvmCandidate>& list, const std::wstring& subject, std::wstring home,
                      const JavaVersion& version, JavaVendor vendor, const RuntimeCriteria& criteria,
                      const JavaHomeProbe& probe);

}  // namespace tarn
