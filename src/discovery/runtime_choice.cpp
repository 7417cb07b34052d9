#include "discovery/runtime_choice.h"

#include "base/message_table.h"
#include "base/path.h"
#include "discovery/java_home.h"
#include "discovery/java_version.h"
#include "discovery/registry_search.h"
#include "discovery/vendor_registry.h"

namespace tarn {
namespace {

// A release file is a few lines; its version is in the first of them.
constexpr size_t kReleaseFileStart = 4096;

bool readReleaseFile(const std::wstring& path, std::string& bytes) {
  return readFileStart(path, kReleaseFileStart, bytes);
}

// The user's runtimes whose VM is of the width wanted (32-bit x86 or not).
void collectUserCandidates(std::vector<JvmCandidate>& list, const RuntimeCriteria& criteria,
                           const JavaHomeProbe& probe, bool x86) {
  std::vector<JvmCandidate> withUser = list;
  collectVendorCandidates(withUser, *userRegistry(), criteria, probe);
  for (size_t i = list.size(); i < withUser.size(); ++i) {
    bool server = false;
    const std::wstring library = findJvmDll(withUser[i].home, criteria.jvmType, server);
    if (isX86PeFile(library) == x86) list.push_back(std::move(withUser[i]));
  }
}

// The classic keys of the machine first, then today's installers' keys of
// the machine and of the user, all ranked together.
bool searchRegistryView(const RuntimeCriteria& criteria, bool otherView, JvmCandidate& chosen) {
  const JavaHomeProbe probe{nativeJavaHomeLayout(), pathExists, readReleaseFile};
  std::vector<JvmCandidate> list;
  const std::unique_ptr<RegistryReader> machine = machineRegistry(otherView);
  collectClassicCandidates(list, *machine, criteria, probe);
  if (!criteria.classicKeysOnly) {
    collectVendorCandidates(list, *machine, criteria, probe);
    collectUserCandidates(list, criteria, probe, otherView || sizeof(void*) == 4);
  }
  return chooseCandidate(list, criteria, chosen);
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
    out.jvmLibrary = findJvmDll(home, jvmType, server);
    if (!out.jvmLibrary.empty()) {
      out.forSibling = jvmLibraryNeedsSibling(out.jvmLibrary, request.hasSibling);
      return true;
    }
  }

  std::wstring home;
  if (choosePrivateRuntimeHome(request.launcherFolder, nativeJavaHomeLayout(), pathExists, home)) {
    out.jvmLibrary = findJvmDll(home, jvmType, server);
    if (!out.jvmLibrary.empty()) return true;
  }

  // A runtime of the 32-bit view is only of use to a sibling launcher, and
  // is looked for only when the own view has none at all.
  JvmCandidate registered;
  bool chosen = searchRegistryView(request.criteria, false, registered);
  bool otherView = false;
  if (!chosen && request.hasSibling) {
    chosen = searchRegistryView(request.criteria, true, registered);
    otherView = chosen;
  }
  if (!chosen) return false;
  out.jvmLibrary = findJvmDll(withTrailingSeparator(registered.home, separator), jvmType, server);
  if (out.jvmLibrary.empty()) return false;
  out.forSibling = otherView;
  out.ibmRuntime = registered.vendor == JavaVendor::Ibm;
  return true;
}

std::wstring missingRuntimeText(const RuntimeCriteria& criteria) {
  const MessageId message = criteria.jvmType == JvmType::Server ? MessageId::JreNotFoundServer : MessageId::JreNotFound;
  return formatMessage(message, {describeVersionRequirement(criteria.minVersion, criteria.maxVersion)});
}

}  // namespace tarn
