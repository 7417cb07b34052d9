#pragma once
// The Java runtimes registered under the five classic keys of
// HKEY_LOCAL_MACHINE: which keys are read and which of their version subkeys
// are admitted. The keys of today's installers (vendor_registry.h) add to
// the same list, which candidate_ranking.h ranks.
//
// The rules are portable and read the registry through RegistryReader, so
// they are tested natively against a fake registry.

#include <string>
#include <vector>

#include "discovery/candidate_ranking.h"
#include "discovery/java_home.h"
#include "discovery/registry_reader.h"
#include "discovery/runtime_criteria.h"

namespace tarn {

struct RuntimeRegistryKey {
  // Below HKEY_LOCAL_MACHINE, ending in a backslash.
  const wchar_t* path;
  JavaVendor vendor;
  bool developmentKit;
  // Under "favor_server" its runtimes are tested for a VM in the plain
  // client-first order, so a server VM counts only where there is no other.
  bool clientFirstUnderFavorServer;
};

// The five keys in the order they are searched.
extern const RuntimeRegistryKey kRuntimeRegistryKeys[5];

// What a registered home came to. Every value but Found says why the
// version subkey is passed over.
enum class RegisteredHome {
  Found,
  NoJavaHome,    // the JavaHome value is missing or empty
  NotAbsolute,   // it is not an absolute path
  NoJvmLibrary,  // the home holds no JVM library for the JVM type
};

// The home registered under key + name, with its trailing separator (and the
// jre folder of a development kit). `home` is the home looked at from
// NoJvmLibrary on too; `server` is set with Found.
RegisteredHome readJavaHome(RegistryReader& registry, const RuntimeRegistryKey& key, const std::wstring& name,
                            JvmType jvmType, const JavaHomeProbe& probe, std::wstring& home, bool& server);

// Appends the admitted runtimes of one key, in its subkeys' order; a home
// listed already stays one candidate, with the higher of its versions. In
// the diagnose mode each subkey passed over is told with its reason.
void collectCandidates(std::vector<JvmCandidate>& list, RegistryReader& registry, const RuntimeRegistryKey& key,
                       const RuntimeCriteria& criteria, const JavaHomeProbe& probe);

// The runtimes of every searched classic key of one view, appended. In the
// diagnose mode the keys not searched are told with their entries.
void collectClassicCandidates(std::vector<JvmCandidate>& list, RegistryReader& registry,
                              const RuntimeCriteria& criteria, const JavaHomeProbe& probe);

}  // namespace tarn
