#include "discovery/runtime_admission.h"

#include "base/diagnosis.h"
#include "base/text.h"

namespace tarn {
bool isListedHome(const std::vector<JvmCandidate>& list, const std::wstring& home) {
  for (const JvmCandidate& candidate : list) {
    if (equalsNoCase(candidate.home, home)) return true;
  }
  return false;
}

bool admitRuntimeHome(std::vector<JvmCandidate>& list, const std::wstring& subject, std::wstring home,
                      const JavaVersion& version, JavaVendor vendor, const RuntimeCriteria& criteria,
                      const JavaHomeProbe& probe) {
  const bool tooNew = compareJavaVersions(version, criteria.maxVersion) > 0;
  if (tooNew || compareJavaVersions(version, criteria.minVersion) < 0) {
    if (diagnosing()) {
      diagnose(tooNew ? "%s (%s): above Maximum Version %s" : "%s (%s): below Minimum Version %s", subject,
               fullVersionText(version), fullVersionText(tooNew ? criteria.maxVersion : criteria.minVersion));
    }
    return false;
  }
  const wchar_t separator = probe.layout.separator;
  const bool developmentKit =
      probe.exists(home + L"bin" + separator + (separator == L'\\' ? L"javac.exe" : L"javac"));
  if (const char* reason = filterReason(developmentKit, vendor, criteria)) {
    if (diagnosing()) diagnose((std::string("%s (%s): ") + reason).c_str(), subject, fullVersionText(version));
    return false;
  }
  // A Java 8 kit keeps its VM in its jre folder.
  bool server = false;
  if (findJvmLibraryIn(home, criteria.jvmType, server, probe.layout, probe.exists).empty()) {
    const std::wstring jre = home + L"jre" + separator;
    if (findJvmLibraryIn(jre, criteria.jvmType, server, probe.layout, probe.exists).empty()) {
      if (diagnosing()) {
        diagnose("%s: passed over, %s: %s", subject, whyNoJvmLibrary(home, criteria.jvmType, probe.layout, probe.exists),
                 home);
      }
      return false;
    }
    home = jre;
    if (isListedHome(list, home)) {
      if (diagnosing()) diagnose("%s: home %s listed already", subject, home);
      return false;
    }
  }
  if (diagnosing()) diagnose("%s (%s): admitted, home %s", subject, fullVersionText(version), home);
  list.push_back(JvmCandidate{version, std::move(home), server, isRuntimePreferred(developmentKit, vendor, criteria),
                              vendor});
  return true;
}

}  // namespace tarn
