#include "discovery/registry_search.h"

#include <algorithm>

#include "launcher/launcher.h"

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
      return provider.favorIbm;
  }
  return false;
}

bool wantsKind(const JvmSourceFlags& source, const RuntimeRegistryKey& key) {
  return key.developmentKit ? source.jdk : source.jre;
}

// B ranks strictly before A.
bool ranksBefore(const JvmCandidate& b, const JvmCandidate& a, bool sourceAny, int32_t jvmType) {
  if (sourceAny && a.preferred != b.preferred) return b.preferred;
  if (jvmType == 2 && a.hasServerVm != b.hasServerVm) return b.hasServerVm;
  return compareJavaVersions(b.version, a.version) > 0;
}

void appendCodeUnit(std::wstring& text, uint32_t unit) { text += static_cast<wchar_t>(unit); }

}  // namespace

bool isKeySearched(const RuntimeRegistryKey& key, const RegistrySearchSettings& settings) {
  const bool kindSearched = settings.source.any || wantsKind(settings.source, key);
  const bool vendorSearched = accepts(settings.provider, key.vendor) || favours(settings.provider, key.vendor);
  return kindSearched && vendorSearched;
}

bool areKeyRuntimesPreferred(const RuntimeRegistryKey& key, const RegistrySearchSettings& settings) {
  return wantsKind(settings.source, key) && favours(settings.provider, key.vendor);
}

std::wstring javaHomeText(const std::vector<uint8_t>& data) {
  std::vector<uint32_t> units;
  units.reserve(data.size() / 2);
  for (size_t i = 0; i + 1 < data.size(); i += 2) {
    const uint32_t unit = data[i] | static_cast<uint32_t>(data[i + 1]) << 8;
    if (unit == 0) break;
    units.push_back(unit);
  }
  std::wstring text;
  text.reserve(units.size());
  if constexpr (sizeof(wchar_t) == 2) {
    // The units go to the file system as they are, unpaired surrogates too.
    for (uint32_t unit : units) appendCodeUnit(text, unit);
    return text;
  }
  for (size_t i = 0; i < units.size(); ++i) {
    const uint32_t unit = units[i];
    const bool high = unit >= 0xD800 && unit <= 0xDBFF;
    if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      appendCodeUnit(text, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else {
      appendCodeUnit(text, unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit);
    }
  }
  return text;
}

bool readJavaHome(RegistryReader& registry, const RuntimeRegistryKey& key, const std::wstring& name, int32_t jvmType,
                  const JavaHomeProbe& probe, std::wstring& home, bool& server) {
  std::vector<uint8_t> data;
  if (!registry.readValue(key.path + name, kJavaHomeValue, data)) return false;
  std::wstring text = javaHomeText(data);
  if (text.empty()) return false;
  const wchar_t separator = probe.layout.separator;
  text = withTrailingSeparator(text, separator);
  if (key.developmentKit) text += std::wstring(L"jre") + separator;
  const int32_t testedType = key.clientFirstUnderFavorServer && jvmType == 2 ? 0 : jvmType;
  if (findJvmLibraryIn(text, testedType, server, probe.layout, probe.exists).empty()) return false;
  home = std::move(text);
  return true;
}

void collectCandidates(std::vector<JvmCandidate>& list, RegistryReader& registry, const RuntimeRegistryKey& key,
                       const RegistrySearchSettings& settings, const JavaHomeProbe& probe) {
  // All names first: the reads below open further keys.
  const std::vector<std::wstring> names = registry.subkeyNames(key.path);
  const bool preferred = areKeyRuntimesPreferred(key, settings);
  for (const std::wstring& name : names) {
    const JavaVersion version = parseJavaVersion(name, 0);
    if (compareJavaVersions(version, settings.maxVersion) > 0 || compareJavaVersions(version, settings.minVersion) < 0)
      continue;
    std::wstring home;
    bool server = false;
    if (!readJavaHome(registry, key, name, settings.jvmType, probe, home, server)) continue;
    list.push_back(JvmCandidate{version, std::move(home), server, preferred});
  }
}

void sortCandidates(std::vector<JvmCandidate>& list, bool sourceAny, int32_t jvmType) {
  std::stable_sort(list.begin(), list.end(), [&](const JvmCandidate& a, const JvmCandidate& b) {
    return ranksBefore(a, b, sourceAny, jvmType);
  });
}

bool chooseCandidate(std::vector<JvmCandidate>& list, const RegistrySearchSettings& settings, std::wstring& home) {
  if (list.empty()) return false;
  sortCandidates(list, settings.source.any, settings.jvmType);
  for (const std::wstring& text : settings.preferredVersions) {
    const JavaVersion preferred = parseJavaVersion(text, 0);
    for (const JvmCandidate& candidate : list) {
      if (matchesPreferredVersion(candidate.version, preferred)) {
        home = candidate.home;
        return true;
      }
    }
  }
  home = list.front().home;
  return true;
}

bool searchRuntimeRegistry(RegistryReader& registry, const RegistrySearchSettings& settings,
                           const JavaHomeProbe& probe, std::wstring& home) {
  std::vector<JvmCandidate> list;
  for (const RuntimeRegistryKey& key : kRuntimeRegistryKeys) {
    if (isKeySearched(key, settings)) collectCandidates(list, registry, key, settings, probe);
  }
  return chooseCandidate(list, settings, home);
}

bool Launcher::searchRegistry(bool otherView, std::wstring& home) {
  // The 32-bit view is of use only to a sibling launcher.
  if (otherView && pairProduct.empty()) return false;
  RegistrySearchSettings settings;
  settings.source = {sourceAny, sourceJdk, sourceJre};
  settings.provider = {acceptJRockit, favorJRockit, acceptSun, favorSun, acceptIbm, favorIbm};
  settings.jvmType = jvmType;
  settings.minVersion = minVersion;
  settings.maxVersion = maxVersion;
  settings.preferredVersions = preferredVersions;
  const std::unique_ptr<RegistryReader> registry = machineRegistry(otherView);
  if (!searchRuntimeRegistry(*registry, settings, JavaHomeProbe{nativeJavaHomeLayout(), fileExists}, home))
    return false;
  if (otherView) relaunchPair = true;
  return true;
}

}  // namespace tarn
