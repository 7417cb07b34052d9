#pragma once
// The runtimes the registry keys admitted, classic and today's installers'
// alike: which kinds and vendors are searched and preferred (JVM Source, VM
// Provider), how the candidates rank and which one is chosen.

#include <string>
#include <vector>

#include "discovery/java_version.h"
#include "discovery/runtime_criteria.h"

namespace tarn {

// OpenJ9 runtimes of today's installers are IBM's for VM Provider, but
// end like any other: only the classic IBM key's runtimes keep the thread
// that ran main.
enum class JavaVendor { Sun, JRockit, Ibm, OpenJ9 };

// One admitted runtime.
struct JvmCandidate {
  JavaVersion version;
  // Ends in a separator; a development kit's ends in its jre folder.
  std::wstring home;
  // The JVM library found on admission lies in a server VM folder.
  bool hasServerVm = false;
  // Its kind is wanted by JVM Source and its vendor favoured by VM Provider.
  bool preferred = false;
  // The vendor of the key it was registered under.
  JavaVendor vendor = JavaVendor::Sun;
};

// JVM Source asks for runtimes of this kind (development kit or not).
bool wantsKind(const JvmSourceFlags& source, bool developmentKit);

// A runtime of the kind and vendor is searched for (JVM Source, VM
// Provider), and preferred in the ranking.
bool isRuntimeSearched(bool developmentKit, JavaVendor vendor, const RuntimeCriteria& criteria);
bool isRuntimePreferred(bool developmentKit, JavaVendor vendor, const RuntimeCriteria& criteria);

// Why JVM Source or VM Provider leaves a runtime of the kind and vendor
// out, in words for the diagnose mode (ASCII, no "%"): which setting and
// what it takes. Null when it is searched.
const char* filterReason(bool developmentKit, JavaVendor vendor, const RuntimeCriteria& criteria);

// The candidate of the home (the same folder in any case of letters) in
// the list, or null: one home is one candidate, however many keys name it.
JvmCandidate* findListedHome(std::vector<JvmCandidate>& list, const std::wstring& home);

// Stable: preferred first (only while JVM Source is not an "only_" value),
// then, under "favor_server", those with a server VM, then newer versions.
void sortCandidates(std::vector<JvmCandidate>& list, bool sourceAny, JvmType jvmType);

// Sorts the list; the first candidate matching the first preferred version
// that matches any, else the top one. False for an empty list. The diagnose
// mode's lines of the choice begin with `source` ("registry").
bool chooseCandidate(std::vector<JvmCandidate>& list, const RuntimeCriteria& criteria, const wchar_t* source,
                     JvmCandidate& chosen);

}  // namespace tarn
