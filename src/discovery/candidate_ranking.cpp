#include "discovery/candidate_ranking.h"

#include "base/diagnosis.h"
#include "base/text.h"

namespace tarn {
namespace {

bool accepts(const VmProviderFlags& provider, JavaVendor vendor) {
  switch (vendor) {
    case JavaVendor::Sun:
      return provider.acceptSun;
    case JavaVendor::JRockit:
      return provider.acceptJRockit;
    case JavaVendor::Ibm:
    case JavaVendor::OpenJ9:
      return provider.acceptIbm;
  }
  return false;
}

bool favours(const VmProviderFlags& provider, JavaVendor vendor) {
  switch (vendor) {
    case JavaVendor::Sun:
      return provider.favorSun;
    case JavaVendor::JRockit:
      return provider.favorJRockit;
    case JavaVendor::Ibm:
    case JavaVendor::OpenJ9:
      return provider.favorIbm;
  }
  return false;
}

// A ranks strictly before B.
bool ranksBefore(const JvmCandidate& a, const JvmCandidate& b, bool sourceAny, JvmType jvmType) {
  if (sourceAny && a.preferred != b.preferred) return a.preferred;
  if (jvmType == JvmType::FavorServer && a.hasServerVm != b.hasServerVm) return a.hasServerVm;
  return compareJavaVersions(a.version, b.version) > 0;
}

}  // namespace

bool wantsKind(const JvmSourceFlags& source, bool developmentKit) {
  return developmentKit ? source.jdk : source.jre;
}

bool isRuntimeSearched(bool developmentKit, JavaVendor vendor, const RuntimeCriteria& criteria) {
  const bool kindSearched = criteria.source.any || wantsKind(criteria.source, developmentKit);
  return kindSearched && (accepts(criteria.provider, vendor) || favours(criteria.provider, vendor));
}

bool isRuntimePreferred(bool developmentKit, JavaVendor vendor, const RuntimeCriteria& criteria) {
  return wantsKind(criteria.source, developmentKit) && favours(criteria.provider, vendor);
}

const char* filterReason(bool developmentKit, JavaVendor vendor, const RuntimeCriteria& criteria) {
  if (isRuntimeSearched(developmentKit, vendor, criteria)) return nullptr;
  const JvmSourceFlags& source = criteria.source;
  if (!source.any && !source.jdk && !source.jre) {
    return "filtered by JVM Source: none of its words, which leaves every installed runtime out";
  }
  if (!source.any && !wantsKind(source, developmentKit)) {
    return developmentKit ? "filtered by JVM Source=only_JRE: a development kit"
                          : "filtered by JVM Source=only_JDK: a runtime";
  }
  switch (vendor) {
    case JavaVendor::Sun:
      return criteria.provider.favorJRockit ? "filtered by VM Provider=jrockit: a JavaSoft/Oracle runtime"
                                            : "filtered by VM Provider=ibm: a JavaSoft/Oracle runtime";
    case JavaVendor::JRockit:
      return "filtered by VM Provider: a JRockit runtime, taken with jrockit, any or a favor_ value";
    case JavaVendor::Ibm:
      break;
    case JavaVendor::OpenJ9:
      return "filtered by VM Provider: an OpenJ9 runtime, IBM's to VM Provider, taken with ibm, any or a favor_ value";
  }
  return "filtered by VM Provider: an IBM runtime, taken with ibm, any or a favor_ value";
}

JvmCandidate* findListedHome(std::vector<JvmCandidate>& list, const std::wstring& home) {
  for (JvmCandidate& candidate : list) {
    if (equalsNoCase(candidate.home, home)) return &candidate;
  }
  return nullptr;
}

void sortCandidates(std::vector<JvmCandidate>& list, bool sourceAny, JvmType jvmType) {
  // An insertion sort: stable, and the lists are a few registry keys long.
  // The library's stable sort would cost the static launchers kilobytes.
  for (size_t i = 1; i < list.size(); ++i) {
    size_t j = i;
    while (j > 0 && ranksBefore(list[i], list[j - 1], sourceAny, jvmType)) --j;
    if (j == i) continue;
    JvmCandidate moved = std::move(list[i]);
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(j), std::move(moved));
  }
}

namespace {

void diagnoseChoice(const std::vector<JvmCandidate>& list, const wchar_t* source, const JvmCandidate& chosen,
                    const std::wstring& how) {
  diagnose("%s: taken %s (version %s): %s", source, chosen.home, fullVersionText(chosen.version), how);
  for (const JvmCandidate& candidate : list) {
    if (&candidate == &chosen) continue;
    diagnose("%s: passed over %s (version %s): ranked below %s", source, candidate.home,
             fullVersionText(candidate.version), chosen.home);
  }
}

}  // namespace

bool chooseCandidate(std::vector<JvmCandidate>& list, const RuntimeCriteria& criteria, const wchar_t* source,
                     JvmCandidate& chosen) {
  if (list.empty()) return false;
  sortCandidates(list, criteria.source.any, criteria.jvmType);
  for (const std::wstring& text : criteria.preferredVersions) {
    const JavaVersion preferred = parseJavaVersion(text, 0);
    for (const JvmCandidate& candidate : list) {
      if (matchesPreferredVersion(candidate.version, preferred)) {
        if (diagnosing()) diagnoseChoice(list, source, candidate, L"the first match of Preferred versions " + text);
        chosen = candidate;
        return true;
      }
    }
  }
  if (diagnosing()) diagnoseChoice(list, source, list.front(), L"ranked first");
  chosen = list.front();
  return true;
}

}  // namespace tarn
