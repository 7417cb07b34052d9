#include "discovery/runtime_choice.h"

#include "base/message_table.h"
#include "base/path.h"
#include "discovery/java_home.h"
#include "discovery/java_version.h"
#include "discovery/registry_search.h"

namespace tarn {
namespace {

bool searchRegistryView(const RuntimeCriteria& criteria, bool otherView, std::wstring& home) {
  const std::unique_ptr<RegistryReader> registry = machineRegistry(otherView);
  return searchRuntimeRegistry(*registry, criteria, JavaHomeProbe{nativeJavaHomeLayout(), pathExists}, home);
}

}  // namespace

bool chooseJavaRuntime(const RuntimeRequest& request, RuntimeChoice& out) {
  out = RuntimeChoice{};
  const wchar_t separator = nativeJavaHomeLayout().separator;
  const JvmType jvmType = request.criteria.jvmType;
  bool server = false;

  // The one source allowed to point at the current directory: a relative
  // JRE Path is taken against it, and Override WorkingDir may have set it.
  if (!request.jrePath.empty()) {
    out.jvmLibrary = findJvmDll(withTrailingSeparator(request.jrePath, separator), jvmType, server);
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
  home.clear();
  bool chosen = searchRegistryView(request.criteria, false, home);
  bool otherView = false;
  if (!chosen && request.hasSibling) {
    chosen = searchRegistryView(request.criteria, true, home);
    otherView = chosen;
  }
  // An empty home would be the current directory, not a registered runtime.
  if (!chosen || home.empty()) return false;
  out.jvmLibrary = findJvmDll(withTrailingSeparator(home, separator), jvmType, server);
  out.forSibling = otherView && !out.jvmLibrary.empty();
  return !out.jvmLibrary.empty();
}

std::wstring missingRuntimeText(const RuntimeCriteria& criteria) {
  const MessageId message = criteria.jvmType == JvmType::Server ? MessageId::JreNotFoundServer : MessageId::JreNotFound;
  return formatMessage(message, {describeVersionRequirement(criteria.minVersion, criteria.maxVersion)});
}

}  // namespace tarn
