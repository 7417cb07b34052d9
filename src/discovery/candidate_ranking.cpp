#include "discovery/candidate_ranking.h"

#include "base/diagnosis.h"

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

const wchar_t* filterReason(bool developmentKit, JavaVendor vendor, const RuntimeCriteria& criteria) {
  if (isRuntimeSearched(developmentKit, vendor, criteria)) return nullptr;
  const JvmSourceFlags& source = criteria.source;
  if (!source.any && !source.jdk && !source.jre) return L"JVM Source (an unknown value)";
  if (!source.any && !wantsKind(source, developmentKit)) {
    return developmentKit ? L"JVM Source (JREs only)" : L"JVM Source (JDKs only)";
  }
  switch (vendor) {
    case JavaVendor::Sun:
      return L"VM Provider (JavaSoft)";
    case JavaVendor::JRockit:
      return L"VM Provider (JRockit)";
    case JavaVendor::Ibm:
    case JavaVendor::OpenJ9:
      break;
  }
  return L"VM Provider (IBM)";
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
