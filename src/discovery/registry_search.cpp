#include "discovery/registry_search.h"

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

}  // namespace

bool isRuntimeSearched(bool developmentKit, JavaVendor vendor, const RuntimeCriteria& criteria) {
  const bool kindSearched = criteria.source.any || wantsKind(criteria.source, developmentKit);
  return kindSearched && (accepts(criteria.provider, vendor) || favours(criteria.provider, vendor));
}

bool isRuntimePreferred(bool developmentKit, JavaVendor vendor, const RuntimeCriteria& criteria) {
  return wantsKind(criteria.source, developmentKit) && favours(criteria.provider, vendor);
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

bool readJavaHome(RegistryReader& registry, const RuntimeRegistryKey& key, const std::wstring& name, JvmType jvmType,
                  const JavaHomeProbe& probe, std::wstring& home, bool& server) {
  std::vector<uint8_t> data;
  if (!registry.readValue(key.path + name, kJavaHomeValue, data)) return false;
  std::wstring text = javaHomeText(data);
  // A relative home would be taken against whatever the current directory is.
  if (!isAbsolutePath(text, probe.layout.separator == L'\\' ? kWindowsPathStyle : kPosixPathStyle)) return false;
  const wchar_t separator = probe.layout.separator;
  text = withTrailingSeparator(text, separator);
  if (key.developmentKit) text += std::wstring(L"jre") + separator;
  const JvmType testedType = key.clientFirstUnderFavorServer && jvmType == JvmType::FavorServer ? JvmType::Any : jvmType;
  if (findJvmLibraryIn(text, testedType, server, probe.layout, probe.exists).empty()) return false;
  home = std::move(text);
  return true;
}

void collectCandidates(std::vector<JvmCandidate>& list, RegistryReader& registry, const RuntimeRegistryKey& key,
                       const RuntimeCriteria& criteria, const JavaHomeProbe& probe) {
  // All names first: the reads below open further keys.
  const std::vector<std::wstring> names = registry.subkeyNames(key.path);
  const bool preferred = areKeyRuntimesPreferred(key, criteria);
  for (const std::wstring& name : names) {
    const JavaVersion version = parseJavaVersion(name, 0);
    if (compareJavaVersions(version, criteria.maxVersion) > 0 || compareJavaVersions(version, criteria.minVersion) < 0)
      continue;
    std::wstring home;
    bool server = false;
    if (!readJavaHome(registry, key, name, criteria.jvmType, probe, home, server)) continue;
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

bool chooseCandidate(std::vector<JvmCandidate>& list, const RuntimeCriteria& criteria, JvmCandidate& chosen) {
  if (list.empty()) return false;
  sortCandidates(list, criteria.source.any, criteria.jvmType);
  for (const std::wstring& text : criteria.preferredVersions) {
    const JavaVersion preferred = parseJavaVersion(text, 0);
    for (const JvmCandidate& candidate : list) {
      if (matchesPreferredVersion(candidate.version, preferred)) {
        chosen = candidate;
        return true;
      }
    }
  }
  chosen = list.front();
  return true;
}

void collectClassicCandidates(std::vector<JvmCandidate>& list, RegistryReader& registry,
                              const RuntimeCriteria& criteria, const JavaHomeProbe& probe) {
  for (const RuntimeRegistryKey& key : kRuntimeRegistryKeys) {
    if (isKeySearched(key, criteria)) collectCandidates(list, registry, key, criteria, probe);
  }
}

bool searchRuntimeRegistry(RegistryReader& registry, const RuntimeCriteria& criteria,
                           const JavaHomeProbe& probe, JvmCandidate& chosen) {
  std::vector<JvmCandidate> list;
  collectClassicCandidates(list, registry, criteria, probe);
  return chooseCandidate(list, criteria, chosen);
}

}  // namespace tarn
