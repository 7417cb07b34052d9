#include "discovery/runtime_choice.h"

#include "base/diagnosis.h"
#include "base/message_table.h"
#include "base/path.h"
#include "discovery/installed_runtimes.h"
#include "discovery/java_home.h"

namespace tarn {
namespace {

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

  // An absent Maximum Version is 0.0.0.0, which every installed runtime
  // lies above: said once here, not only runtime by runtime.
  const bool noMaximum = request.criteria.maxVersion == JavaVersion{};
  if (diagnosing() && noMaximum) {
    diagnose("%s: Maximum Version is 0.0.0.0 (not set, or without digits): every installed runtime lies above it; "
             "Maximum Version=any sets no upper bound",
             kInstalledRuntimeSource);
  }
  JvmCandidate installed;
  bool forSibling = false;
  if (!chooseInstalledRuntime(request, installed, forSibling)) {
    if (diagnosing() && noMaximum) {
      diagnose("no runtime found, and Maximum Version is 0.0.0.0: no installed runtime could be taken; write "
               "Maximum Version=any");
    }
    return false;
  }
  out.jvmLibrary = findJvmLibrary(withTrailingSeparator(installed.home, separator), jvmType, server);
  if (out.jvmLibrary.empty()) return false;
  out.forSibling = forSibling;
  out.threadsStayAttached = installed.vendor == JavaVendor::Ibm;
  if (diagnosing()) {
    diagnoseTaken(kInstalledRuntimeSource, out.jvmLibrary, forSibling);
    if (out.threadsStayAttached) {
      diagnose("%s: %s is registered under IBM's key, Software\\IBM\\Java2 Runtime Environment: the thread that "
               "ran main stays after main returns, so the application ends through System.exit or from outside",
               kInstalledRuntimeSource, installed.home);
    }
  }
  return true;
}

std::wstring missingRuntimeText(const RuntimeCriteria& criteria) {
  const MessageId message = criteria.jvmType == JvmType::Server ? MessageId::JreNotFoundServer : MessageId::JreNotFound;
  return formatMessage(message, {describeVersionRequirement(criteria.minVersion, criteria.maxVersion)});
}

}  // namespace tarn
