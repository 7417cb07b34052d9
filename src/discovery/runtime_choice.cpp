#include "discovery/runtime_choice.h"

#include "base/diagnosis.h"
#include "base/message_table.h"
#include "base/path.h"
#include "discovery/candidate_ranking.h"
#include "discovery/classic_registry_keys.h"
#include "discovery/java_home.h"
#include "discovery/java_version.h"
#include "discovery/registry_reader.h"
#include "discovery/vendor_registry.h"

namespace tarn {
namespace {

// A release file is a few lines; its version is in the first of them.
constexpr size_t kReleaseFileStart = 4096;

bool readReleaseFile(const std::wstring& path, std::string& bytes) {
  return readFileStart(path, kReleaseFileStart, bytes);
}

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
  return chooseCandidate(list, criteria, chosen);
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

// A found library, told with what the launcher does with it.
void diagnoseTaken(const wchar_t* source, const std::wstring& library, bool forSibling) {
  if (forSibling) {
    diagnose("%s: taken for the paired launcher, a 32-bit runtime: %s", source, library);
    return;
  }
  diagnose("%s: taken: %s", source, library);
}

}  // namespace

bool chooseJavaRuntime(const RuntimeRequest& request, RuntimeChoice& out) {
  out = RuntimeChoice{};
  const wchar_t separator = nativeJavaHomeLayout().separator;
  const JvmType jvmType = request.criteria.jvmType;
  bool server = false;

  // The one source allowed to point at the current directory: a relative
  // JRE Path is taken against it (Override WorkingDir may have set it), and
  // made full at once, so that the library loaded and every path derived
  // from it name the runtime that was found here.
  if (!request.jrePath.empty()) {
    const std::wstring home = withTrailingSeparator(absolutePath(request.jrePath), separator);
    out.jvmLibrary = findJvmLibrary(home, jvmType, server);
    if (!out.jvmLibrary.empty()) {
      out.forSibling = jvmLibraryNeedsSibling(out.jvmLibrary, request.hasSibling);
      if (diagnosing()) diagnoseTaken(L"JRE Path", out.jvmLibrary, out.forSibling);
      return true;
    }
    if (diagnosing()) diagnose("JRE Path %s: passed over: %s", home, whyNoJvmLibrary(home, jvmType));
  } else if (diagnosing()) {
    diagnose("JRE Path: not set");
  }

  std::wstring home;
  if (choosePrivateRuntimeHome(request.launcherFolder, nativeJavaHomeLayout(), pathExists, home)) {
    out.jvmLibrary = findJvmLibrary(home, jvmType, server);
    if (!out.jvmLibrary.empty()) {
      if (diagnosing()) diagnoseTaken(L"shipped runtime", out.jvmLibrary, false);
      return true;
    }
    if (diagnosing()) diagnose("shipped runtime %s: passed over: %s", home, whyNoJvmLibrary(home, jvmType));
  }

  // An absent Maximum Version is 0.0.0.0, which every registered runtime
  // lies above: said once here, not only entry by entry.
  const bool noMaximum = request.criteria.maxVersion == JavaVersion{} && nativePathStyle().windowsForms;
  if (diagnosing() && noMaximum) {
    diagnose("registry: Maximum Version is 0.0.0.0 (not set, or without digits): every registered runtime lies "
             "above it; Maximum Version=any sets no upper bound");
  }
  // A runtime of the 32-bit view is only of use to a sibling launcher, and
  // is looked for only when the own view has none at all.
  JvmCandidate registered;
  bool chosen = searchRegistryView(request.criteria, false, registered);
  bool otherView = false;
  if (!chosen && request.hasSibling) {
    chosen = searchRegistryView(request.criteria, true, registered);
    otherView = chosen;
  } else if (diagnosing() && sizeof(void*) == 8) {
    diagnoseUnsearchedView(chosen ? "HKLM\\%s%s (32-bit view): not searched, the own view had a runtime"
                                  : "HKLM\\%s%s (32-bit view): not searched, a 32-bit runtime needs Pair Product");
  }
  if (!chosen) {
    if (diagnosing() && noMaximum) {
      diagnose("no runtime found, and Maximum Version is 0.0.0.0: no registered runtime could be taken; write "
               "Maximum Version=any");
    }
    return false;
  }
  out.jvmLibrary = findJvmLibrary(withTrailingSeparator(registered.home, separator), jvmType, server);
  if (out.jvmLibrary.empty()) return false;
  out.forSibling = otherView;
  out.threadsStayAttached = registered.vendor == JavaVendor::Ibm;
  if (diagnosing()) {
    diagnoseTaken(L"registry", out.jvmLibrary, otherView);
    if (out.threadsStayAttached) {
      diagnose("registry: %s is registered under IBM's key, Software\\IBM\\Java2 Runtime Environment: the thread "
               "that ran main stays after main returns, so the application ends through System.exit or from outside",
               registered.home);
    }
  }
  return true;
}

std::wstring missingRuntimeText(const RuntimeCriteria& criteria) {
  const MessageId message = criteria.jvmType == JvmType::Server ? MessageId::JreNotFoundServer : MessageId::JreNotFound;
  return formatMessage(message, {describeVersionRequirement(criteria.minVersion, criteria.maxVersion)});
}

}  // namespace tarn
