// Windows: the runtimes registered in the registry, the classic keys and
// today's installers' keys of the launcher's own view, then, for a paired
// launcher, of the 32-bit view.
#include "base/diagnosis.h"
#include "base/path.h"
#include "discovery/classic_registry_keys.h"
#include "discovery/installed_runtimes.h"
#include "discovery/java_home.h"
#include "discovery/registry_reader.h"
#include "discovery/release_file.h"
#include "discovery/vendor_registry.h"

namespace tarn {

const wchar_t kInstalledRuntimeSource[] = L"registry";

namespace {

// A key may name a home of the other width: the user's software keys are
// one for both views, and an installer may have written a 32-bit home into
// the 64-bit view. Such a VM cannot be loaded by a launcher of the view's
// width, and its own view's search (or the sibling's) finds it there.
void keepViewWidth(std::vector<JvmCandidate>& list, JvmType jvmType, bool x86) {
  for (size_t i = 0; i < list.size();) {
    bool server = false;
    if (!isPeFileOfOtherWidth(findJvmLibrary(list[i].home, jvmType, server), x86)) {
      ++i;
      continue;
    }
    if (diagnosing()) {
      diagnose(x86 ? "registry: passed over %s: a 64-bit VM, and the 32-bit view is searched"
                   : "registry: passed over %s: a 32-bit VM, and the 64-bit view is searched",
               list[i].home);
    }
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
  }
}

// The classic keys of the machine first, then today's installers' keys of
// the machine and of the user, all ranked together.
bool searchRegistryView(const RuntimeCriteria& criteria, bool otherView, JvmCandidate& chosen) {
  const JavaHomeProbe probe{nativeJavaHomeLayout(), pathExists, readReleaseFile};
  std::vector<JvmCandidate> list;
  const bool x86 = otherView || sizeof(void*) == 4;
  if (diagnosing()) {
    diagnose(x86 ? "registry: HKEY_LOCAL_MACHINE, the 32-bit view" : "registry: HKEY_LOCAL_MACHINE, the 64-bit view");
  }
  const std::unique_ptr<RegistryReader> machine = machineRegistry(otherView);
  collectClassicCandidates(list, *machine, criteria, probe);
  if (!criteria.classicKeysOnly) {
    collectVendorCandidates(list, *machine, L"HKLM", criteria, probe);
    if (diagnosing()) {
      diagnose(x86 ? "registry: HKEY_CURRENT_USER, the 32-bit view" : "registry: HKEY_CURRENT_USER, the 64-bit view");
    }
    collectVendorCandidates(list, *userRegistry(), L"HKCU", criteria, probe);
  }
  keepViewWidth(list, criteria.jvmType, x86);
  return chooseCandidate(list, criteria, kInstalledRuntimeSource, chosen);
}

// The 32-bit view, which this launcher did not search, told entry by entry:
// a runtime installed only for 32-bit programs is the usual one that a
// 64-bit launcher "does not find".
void diagnoseUnsearchedView(const char* fact) {
  const std::unique_ptr<RegistryReader> registry = machineRegistry(true);
  for (const RuntimeRegistryKey& key : kRuntimeRegistryKeys) {
    for (const std::wstring& name : registry->subkeyNames(key.path)) {
      diagnose(fact, key.path, name);
    }
  }
}

}  // namespace

// A runtime of the 32-bit view is only of use to a sibling launcher, and is
// looked for only when the own view has none at all.
bool chooseInstalledRuntime(const RuntimeRequest& request, JvmCandidate& chosen, bool& forSibling) {
  bool found = searchRegistryView(request.criteria, false, chosen);
  forSibling = false;
  if (!found && request.hasSibling) {
    found = searchRegistryView(request.criteria, true, chosen);
    forSibling = found;
  } else if (diagnosing() && sizeof(void*) == 8) {
    diagnoseUnsearchedView(found ? "HKLM\\%s%s (32-bit view): not searched, the own view had a runtime"
                                 : "HKLM\\%s%s (32-bit view): not searched, a 32-bit runtime needs Pair Product");
  }
  return found;
}

}  // namespace tarn
