#include "discovery/registry_search.h"

#include "base/diagnosis.h"
#include "base/path.h"
#include "base/text.h"

namespace tarn {

const RuntimeRegistryKey kRuntimeRegistryKeys[5] = {
    {L"Software\\JavaSoft\\Java Development Kit\\", JavaVendor::Sun, true, false},
    {L"Software\\JavaSoft\\Java Runtime Environment\\", JavaVendor::Sun, false, true},
    {L"Software\\JRockit\\Java Runtime Environment\\", JavaVendor::JRockit, false, false},
    {L"Software\\JRockit\\Java Development Kit\\", JavaVendor::JRockit, true, false},
    {L"Software\\IBM\\Java2 Runtime Environment\\", JavaVendor::Ibm, false, false},
};

namespace {

const wchar_t kJavaHomeValue[] = L"JavaHome";

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

bool wantsKind(const JvmSourceFlags& source, bool developmentKit) {
  return developmentKit ? source.jdk : source.jre;
}

// A ranks strictly before B.
bool ranksBefore(const JvmCandidate& a, const JvmCandidate& b, bool sourceAny, JvmType jvmType) {
  if (sourceAny && a.preferred != b.preferred) return a.preferred;
  if (jvmType == JvmType::FavorServer && a.hasServerVm != b.hasServerVm) return a.hasServerVm;
  return compareJavaVersions(a.version, b.version) > 0;
}

// All four parts, as the bounds are compared.
std::wstring fullVersionText(const JavaVersion& version) {
  std::wstring text;
  for (int32_t part : version.parts) {
    if (!text.empty()) text += L'.';
    text += decimalText(part);
  }
  return text;
}

void diagnoseEntry(const char* fact, const RuntimeRegistryKey& key, const std::wstring& name,
                   const JavaVersion& version, const wchar_t* detail = L"") {
  diagnose(fact, key.path, name, fullVersionText(version), detail);
}

const wchar_t* whyNotFound(RegisteredHome found, const std::wstring& home, const JvmType jvmType,
                           const JavaHomeProbe& probe) {
  switch (found) {
    case RegisteredHome::NoJavaHome:
      return L"no JavaHome value";
    case RegisteredHome::NotAbsolute:
      return L"JavaHome is not an absolute path";
    case RegisteredHome::NoJvmLibrary:
    case RegisteredHome::Found:
      break;
  }
  return whyNoJvmLibrary(home, jvmType, probe.layout, probe.exists);
}

}  // namespace

bool isRuntimeSearched(bool developmentKit, JavaVendor vendor, const RuntimeCriteria& criteria) {
  const bool kindSearched = criteria.source.any || wantsKind(criteria.source, developmentKit);
  return kindSearched && (accepts(criteria.provider, vendor) || favours(criteria.provider, vendor));
}

bool isRuntimePreferred(bool developmentKit, JavaVendor vendor, const RuntimeCriteria& criteria) {
  return wantsKind(criteria.source, developmentKit) && favours(criteria.provider, vendor);
}

const char* keyFilterFact(const RuntimeRegistryKey& key, const RuntimeCriteria& criteria) {
  if (!criteria.source.any && !criteria.source.jdk && !criteria.source.jre) {
    return "HKLM\\%s%s (%s): filtered by JVM Source (an unknown value)";
  }
  if (!criteria.source.any && !wantsKind(criteria.source, key.developmentKit)) {
    return key.developmentKit ? "HKLM\\%s%s (%s): filtered by JVM Source (JREs only)"
                              : "HKLM\\%s%s (%s): filtered by JVM Source (JDKs only)";
  }
  if (accepts(criteria.provider, key.vendor) || favours(criteria.provider, key.vendor)) return nullptr;
  switch (key.vendor) {
    case JavaVendor::Sun:
      return "HKLM\\%s%s (%s): filtered by VM Provider (JavaSoft)";
    case JavaVendor::JRockit:
      return "HKLM\\%s%s (%s): filtered by VM Provider (JRockit)";
    case JavaVendor::Ibm:
    case JavaVendor::OpenJ9:
      break;
  }
  return "HKLM\\%s%s (%s): filtered by VM Provider (IBM)";
}

bool isKeySearched(const RuntimeRegistryKey& key, const RuntimeCriteria& criteria) {
  return isRuntimeSearched(key.developmentKit, key.vendor, criteria);
}

bool areKeyRuntimesPreferred(const RuntimeRegistryKey& key, const RuntimeCriteria& criteria) {
  return isRuntimePreferred(key.developmentKit, key.vendor, criteria);
}

std::wstring javaHomeText(const std::vector<uint8_t>& data) {
  std::u16string units;
  units.reserve(data.size() / 2);
  for (size_t i = 0; i + 1 < data.size(); i += 2) {
    const char16_t unit = static_cast<char16_t>(data[i] | data[i + 1] << 8);
    if (unit == 0) break;
    units += unit;
  }
  // The units go to the file system as they are, unpaired surrogates too.
  return fromUtf16(units, UnpairedSurrogates::KeepWherePossible);
}

RegisteredHome readJavaHome(RegistryReader& registry, const RuntimeRegistryKey& key, const std::wstring& name,
                            JvmType jvmType, const JavaHomeProbe& probe, std::wstring& home, bool& server) {
  std::vector<uint8_t> data;
  if (!registry.readValue(key.path + name, kJavaHomeValue, data)) return RegisteredHome::NoJavaHome;
  std::wstring text = javaHomeText(data);
  if (text.empty()) return RegisteredHome::NoJavaHome;
  if (!isAbsoluteHome(text, probe.layout)) {
    return RegisteredHome::NotAbsolute;
  }
  const wchar_t separator = probe.layout.separator;
  text = withTrailingSeparator(text, separator);
  if (key.developmentKit) text += std::wstring(L"jre") + separator;
  home = std::move(text);
  const JvmType testedType = key.clientFirstUnderFavorServer && jvmType == JvmType::FavorServer ? JvmType::Any : jvmType;
  if (findJvmLibraryIn(home, testedType, server, probe.layout, probe.exists).empty()) {
    return RegisteredHome::NoJvmLibrary;
  }
  return RegisteredHome::Found;
}

void collectCandidates(std::vector<JvmCandidate>& list, RegistryReader& registry, const RuntimeRegistryKey& key,
                       const RuntimeCriteria& criteria, const JavaHomeProbe& probe) {
  // All names first: the reads below open further keys.
  const std::vector<std::wstring> names = registry.subkeyNames(key.path);
  const bool preferred = areKeyRuntimesPreferred(key, criteria);
  for (const std::wstring& name : names) {
    const JavaVersion version = parseJavaVersion(name, 0);
    const bool tooNew = compareJavaVersions(version, criteria.maxVersion) > 0;
    if (tooNew || compareJavaVersions(version, criteria.minVersion) < 0) {
      if (diagnosing()) {
        diagnoseEntry(tooNew ? "HKLM\\%s%s (%s): above Maximum Version %s"
                             : "HKLM\\%s%s (%s): below Minimum Version %s",
                      key, name, version, fullVersionText(tooNew ? criteria.maxVersion : criteria.minVersion).c_str());
      }
      continue;
    }
    std::wstring home;
    bool server = false;
    const RegisteredHome found = readJavaHome(registry, key, name, criteria.jvmType, probe, home, server);
    if (found != RegisteredHome::Found) {
      if (diagnosing()) {
        diagnose(home.empty() ? "HKLM\\%s%s: passed over, %s" : "HKLM\\%s%s: passed over, %s: %s", key.path, name,
                 whyNotFound(found, home, criteria.jvmType, probe), home);
      }
      continue;
    }
    if (diagnosing()) {
      diagnoseEntry("HKLM\\%s%s (%s): admitted, home %s", key, name, version, home.c_str());
    }
    list.push_back(JvmCandidate{version, std::move(home), server, preferred, key.vendor});
  }
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

void diagnoseChoice(const std::vector<JvmCandidate>& list, const JvmCandidate& chosen, const std::wstring& how) {
  diagnose("registry: taken %s (version %s): %s", chosen.home, fullVersionText(chosen.version), how);
  for (const JvmCandidate& candidate : list) {
    if (&candidate == &chosen) continue;
    diagnose("registry: passed over %s (version %s): ranked below %s",
             candidate.home, fullVersionText(candidate.version), chosen.home);
  }
}

}  // namespace

bool chooseCandidate(std::vector<JvmCandidate>& list, const RuntimeCriteria& criteria, JvmCandidate& chosen) {
  if (list.empty()) return false;
  sortCandidates(list, criteria.source.any, criteria.jvmType);
  for (const std::wstring& text : criteria.preferredVersions) {
    const JavaVersion preferred = parseJavaVersion(text, 0);
    for (const JvmCandidate& candidate : list) {
      if (matchesPreferredVersion(candidate.version, preferred)) {
        if (diagnosing()) diagnoseChoice(list, candidate, L"the first match of Preferred versions " + text);
        chosen = candidate;
        return true;
      }
    }
  }
  if (diagnosing()) diagnoseChoice(list, list.front(), L"ranked first");
  chosen = list.front();
  return true;
}

void collectClassicCandidates(std::vector<JvmCandidate>& list, RegistryReader& registry,
                              const RuntimeCriteria& criteria, const JavaHomeProbe& probe) {
  for (const RuntimeRegistryKey& key : kRuntimeRegistryKeys) {
    if (isKeySearched(key, criteria)) {
      collectCandidates(list, registry, key, criteria, probe);
    } else if (diagnosing()) {
      // Not searched, but named, so that a runtime the filters hide is seen.
      const char* fact = keyFilterFact(key, criteria);
      for (const std::wstring& name : registry.subkeyNames(key.path)) {
        diagnoseEntry(fact, key, name, parseJavaVersion(name, 0));
      }
    }
  }
}

bool searchRuntimeRegistry(RegistryReader& registry, const RuntimeCriteria& criteria,
                           const JavaHomeProbe& probe, JvmCandidate& chosen) {
  std::vector<JvmCandidate> list;
  collectClassicCandidates(list, registry, criteria, probe);
  return chooseCandidate(list, criteria, chosen);
}

}  // namespace tarn
