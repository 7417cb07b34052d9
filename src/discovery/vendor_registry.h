#pragma once
// The runtimes that today's installers register: Java 9 and later under
// JavaSoft's "JDK" and "JRE" keys, and the OpenJDK distributions under keys
// of their own, in HKEY_LOCAL_MACHINE for all users or HKEY_CURRENT_USER for
// one. Their layouts differ (a version subkey with JavaHome; a version, a VM
// and an "MSI" subkey with Path; a product subkey with InstallationPath), so
// each key is walked a few levels down for the first of those values.
//
// Their candidates go through the classic keys' filters and join their
// ranking: the version comes from the home's "release" file, or from the
// first subkey name with a digit in it when the file has none; the kind (development kit or runtime)
// from the home itself; an OpenJ9 runtime is IBM's for VM Provider.

#include <string>
#include <vector>

#include "discovery/candidate_ranking.h"
#include "discovery/java_home.h"
#include "discovery/registry_reader.h"
#include "discovery/release_file.h"
#include "discovery/runtime_criteria.h"

namespace tarn {

struct VendorRegistryKey {
  // Below the hive, ending in a backslash.
  const wchar_t* path;
  // Every runtime below it is an OpenJ9 one.
  bool openJ9;
};

extern const VendorRegistryKey kVendorRegistryKeys[16];

// Appends the admitted runtimes below every vendor key of one hive and view
// whose home is not in the list already. `hive` ("HKLM", "HKCU") names the
// keys in the diagnose mode.
void collectVendorCandidates(std::vector<JvmCandidate>& list, RegistryReader& registry, const wchar_t* hive,
                             const RuntimeCriteria& criteria, const JavaHomeProbe& probe);

}  // namespace tarn
