#include "discovery/classic_registry_keys.h"

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

void diagnoseEntry(const char* fact, const RuntimeRegistryKey& key, const std::wstring& name,
                   const JavaVersion& version, const wchar_t* detail = L"") {
  diagnose(fact, key.path, name, fullVersionText(version), detail);
}

std::wstring whyNotFound(RegisteredHome found, const std::wstring& home, const JvmType jvmType,
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
  const bool preferred = isRuntimePreferred(key.developmentKit, key.vendor, criteria);
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
    // The installers register a home under its family's key ("1.6") and its
    // own ("1.6.0_20"): one runtime, of the more exact version.
    if (JvmCandidate* listed = findListedHome(list, home)) {
      const bool newer = compareJavaVersions(version, listed->version) > 0;
      if (newer) listed->version = version;
      if (diagnosing()) {
        diagnoseEntry(newer ? "HKLM\\%s%s (%s): home %s listed already, now with this version"
                            : "HKLM\\%s%s (%s): home %s listed already",
                      key, name, version, home.c_str());
      }
      continue;
    }
    if (diagnosing()) {
      diagnoseEntry("HKLM\\%s%s (%s): admitted, home %s", key, name, version, home.c_str());
    }
    list.push_back(JvmCandidate{version, std::move(home), server, preferred, key.vendor});
  }
}

void collectClassicCandidates(std::vector<JvmCandidate>& list, RegistryReader& registry,
                              const RuntimeCriteria& criteria, const JavaHomeProbe& probe) {
  for (const RuntimeRegistryKey& key : kRuntimeRegistryKeys) {
    if (isRuntimeSearched(key.developmentKit, key.vendor, criteria)) {
      collectCandidates(list, registry, key, criteria, probe);
    } else if (diagnosing()) {
      // Not searched, but named, so that a runtime the filters hide is seen.
      const std::string fact =
          std::string("HKLM\\%s%s (%s): ") + filterReason(key.developmentKit, key.vendor, criteria);
      for (const std::wstring& name : registry.subkeyNames(key.path)) {
        diagnoseEntry(fact.c_str(), key, name, parseJavaVersion(name, 0));
      }
    }
  }
}

}  // namespace tarn
