#include "discovery/runtime_choice.h"

#include "base/message_table.h"
#include "base/path.h"
#include "discovery/java_home.h"
#include "discovery/java_version.h"
#include "discovery/registry_search.h"

namespace tarn {
namespace {

bool searchRegistryView(const RuntimeCriteria& criteria, bool otherView, JvmCandidate& chosen) {
  const std::unique_ptr<RegistryReader> registry = machineRegistry(otherView);
  return searchRuntimeRegistry(*registry, criteria, JavaHomeProbe{nativeJavaHomeLayout(), pathExists}, chosen);
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
