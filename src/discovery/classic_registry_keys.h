#pragma once
// The Java runtimes registered under the five classic keys of
// HKEY_LOCAL_MACHINE: which keys are read, which of their version subkeys are
// admitted, how the admitted ones are ranked and which one is chosen. The
// keys of today's installers (vendor_registry.h) add to the same list.
//
// The rules are portable and read the registry through RegistryReader, so
// they are tested natively against a fake registry; the real reader is
// registry_search_win.cpp (Linux has no registry and finds nothing).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "discovery/java_home.h"
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

// One registry hive in one view. Key paths are relative to it.
class RegistryReader {
 public:
  virtual ~RegistryReader() = default;
  // The names of the key's subkeys in the registry's enumeration order;
  // none when the key cannot be opened.
  virtual std::vector<std::wstring> subkeyNames(const std::wstring& key) = 0;
  // The raw bytes of a value, whatever its type; false when the key cannot
  // be opened or the value not read.
  virtual bool readValue(const std::wstring& key, const std::wstring& name, std::vector<uint8_t>& data) = 0;
};

// HKEY_LOCAL_MACHINE in the launcher's own view (the 64-bit one for the x64
// build, the 32-bit one for the x86 build), or with `otherView` the 32-bit
// view. HKEY_CURRENT_USER's software keys are one for both views, so its
// runtimes may be of either width.
std::unique_ptr<RegistryReader> machineRegistry(bool otherView);
std::unique_ptr<RegistryReader> userRegistry();

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

// A runtime of the kind and vendor is searched for (JVM Source, VM
// Provider), and preferred in the ranking.
bool isRuntimeSearched(bool developmentKit, JavaVendor vendor, const RuntimeCriteria& criteria);
bool isRuntimePreferred(bool developmentKit, JavaVendor vendor, const RuntimeCriteria& criteria);

bool isKeySearched(const RuntimeRegistryKey& key, const RuntimeCriteria& criteria);
bool areKeyRuntimesPreferred(const RuntimeRegistryKey& key, const RuntimeCriteria& criteria);

// Where a search looks for a JVM library inside a registered home.
struct JavaHomeProbe {
  const JavaHomeLayout& layout;
  ExistenceTest exists;
  // The start of a file in the home (its "release" file); none may be given
  // where no search needs it.
  std::function<bool(const std::wstring& path, std::string& bytes)> readFile;
};

// The text of a JavaHome value's bytes: UTF-16LE code units up to the first
// zero unit, or all of them; a final odd byte is half a unit and is dropped.
std::wstring javaHomeText(const std::vector<uint8_t>& data);

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

// Why a key of the five is not searched, JVM Source or VM Provider, as the
// diagnose mode's fact about one of its entries (its "%s" the key, the
// entry's name, its version); null when the key is searched.
const char* keyFilterFact(const RuntimeRegistryKey& key, const RuntimeCriteria& criteria);

// Appends the admitted runtimes of one key, in its subkeys' order. In the
// diagnose mode each subkey passed over is told with its reason.
void collectCandidates(std::vector<JvmCandidate>& list, RegistryReader& registry, const RuntimeRegistryKey& key,
                       const RuntimeCriteria& criteria, const JavaHomeProbe& probe);

// Stable: preferred first (only while JVM Source is not an "only_" value),
// then, under "favor_server", those with a server VM, then newer versions.
void sortCandidates(std::vector<JvmCandidate>& list, bool sourceAny, JvmType jvmType);

// Sorts the list; the first candidate matching the first preferred version
// that matches any, else the top one. False for an empty list.
bool chooseCandidate(std::vector<JvmCandidate>& list, const RuntimeCriteria& criteria, JvmCandidate& chosen);

// The runtimes of every searched classic key of one view, appended. In the
// diagnose mode the keys not searched are told with their entries.
void collectClassicCandidates(std::vector<JvmCandidate>& list, RegistryReader& registry,
                              const RuntimeCriteria& criteria, const JavaHomeProbe& probe);

// Every searched classic key of one view, then the choice (in the diagnose
// mode with the ranking).
bool searchRuntimeRegistry(RegistryReader& registry, const RuntimeCriteria& criteria,
                           const JavaHomeProbe& probe, JvmCandidate& chosen);

}  // namespace tarn
