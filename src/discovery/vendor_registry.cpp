#include "discovery/vendor_registry.h"

#include "base/diagnosis.h"
#include "base/path.h"
#include "base/text.h"
#include "discovery/runtime_admission.h"

namespace tarn {

const VendorRegistryKey kVendorRegistryKeys[16] = {
    {L"Software\\JavaSoft\\JDK\\", false},
    {L"Software\\JavaSoft\\JRE\\", false},
    {L"Software\\Eclipse Adoptium\\JDK\\", false},
    {L"Software\\Eclipse Adoptium\\JRE\\", false},
    {L"Software\\Eclipse Foundation\\JDK\\", false},
    {L"Software\\AdoptOpenJDK\\JDK\\", false},
    {L"Software\\AdoptOpenJDK\\JRE\\", false},
    {L"Software\\Microsoft\\JDK\\", false},
    {L"Software\\Azul Systems\\Zulu\\", false},
    {L"Software\\BellSoft\\Liberica\\", false},
    {L"Software\\SAP\\SapMachine\\", false},
    {L"Software\\SapMachine\\", false},
    {L"Software\\Amazon Corretto\\", false},
    {L"Software\\Semeru\\JDK\\", true},
    {L"Software\\Semeru\\JRE\\", true},
    {L"Software\\IBM\\Semeru Runtime\\", true},
};

namespace {

// The values that name a home, in the order they are tried at each key.
const wchar_t* const kHomeValues[] = {L"JavaHome", L"Path", L"InstallationPath"};
// version\hotspot\MSI is the deepest layout.
constexpr int kWalkDepth = 3;
// Enough for every runtime a machine holds; a flooded key costs no more.
constexpr size_t kSubkeysPerKey = 32;

struct WalkedKey {
  std::wstring path;  // ends in a backslash
  // The first subkey name on the way down with a digit in it: the version,
  // where the layout has one.
  std::wstring versionName;
  bool openJ9;
};

class VendorWalk {
 public:
  VendorWalk(std::vector<JvmCandidate>& list, RegistryReader& registry, const wchar_t* hive,
             const RuntimeCriteria& criteria, const JavaHomeProbe& probe)
      : list_(list), registry_(registry), hive_(hive), criteria_(criteria), probe_(probe) {}

  void walk(const WalkedKey& key, int depth) {
    std::vector<std::wstring> names = registry_.subkeyNames(key.path);
    if (names.size() > kSubkeysPerKey) names.resize(kSubkeysPerKey);
    for (const std::wstring& name : names) {
      const bool versionLike = name.find_first_of(L"0123456789") != std::wstring::npos;
      const WalkedKey below{key.path + name + L'\\', key.versionName.empty() && versionLike ? name : key.versionName,
                            key.openJ9 || equalsNoCase(name, L"openj9")};
      if (admitFrom(below)) continue;
      if (depth + 1 < kWalkDepth) walk(below, depth + 1);
    }
  }

 private:
  // True once the key named a home, admitted or not: nothing below it is read.
  bool admitFrom(const WalkedKey& key) {
    std::vector<uint8_t> data;
    bool named = false;
    for (const wchar_t* value : kHomeValues) {
      if (registry_.readValue(key.path, value, data)) {
        named = true;
        break;
      }
    }
    if (!named) return false;
    admit(key, javaHomeText(data));
    return true;
  }

  void admit(const WalkedKey& key, const std::wstring& text) {
    // Written as the classic keys are: the hive first, no separator last.
    const std::wstring shown = hive_ + (L'\\' + key.path.substr(0, key.path.size() - 1));
    if (!isAbsoluteHome(text, probe_.layout)) {
      if (diagnosing()) diagnose("%s: passed over, its home is not an absolute path: %s", shown, text);
      return;
    }
    std::wstring home = withTrailingSeparator(text, probe_.layout.separator);
    if (isListedHome(list_, home)) {
      if (diagnosing()) diagnose("%s: home %s listed already", shown, home);
      return;
    }
    const JavaVersion version = versionOf(home, key.versionName);
    admitRuntimeHome(list_, shown, std::move(home), version, key.openJ9 ? JavaVendor::OpenJ9 : JavaVendor::Sun,
                     criteria_, probe_);
  }

  JavaVersion versionOf(const std::wstring& home, const std::wstring& keyName) {
    std::string release;
    std::wstring text;
    if (probe_.readFile && probe_.readFile(home + L"release", release) && javaVersionOfRelease(release, text))
      return parseJavaVersion(text, 0);
    return parseJavaVersion(keyName, 0);
  }

  std::vector<JvmCandidate>& list_;
  RegistryReader& registry_;
  const wchar_t* hive_;
  const RuntimeCriteria& criteria_;
  const JavaHomeProbe& probe_;
};

}  // namespace

void collectVendorCandidates(std::vector<JvmCandidate>& list, RegistryReader& registry, const wchar_t* hive,
                             const RuntimeCriteria& criteria, const JavaHomeProbe& probe) {
  VendorWalk walk(list, registry, hive, criteria, probe);
  for (const VendorRegistryKey& key : kVendorRegistryKeys) walk.walk(WalkedKey{key.path, L"", key.openJ9}, 0);
}

}  // namespace tarn
