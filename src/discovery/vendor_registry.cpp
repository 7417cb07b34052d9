#include "discovery/vendor_registry.h"

#include "base/diagnosis.h"
#include "base/path.h"
#include "base/text.h"

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
    if (!isAbsoluteHome(text, probe_.layout)) {
      if (diagnosing()) diagnose("%s: passed over, its home is not an absolute path: %s", shown(key), text);
      return;
    }
    std::wstring home = withTrailingSeparator(text, probe_.layout.separator);
    if (findListedHome(list_, home) != nullptr) {
      if (diagnosing()) diagnose("%s: home %s listed already", shown(key), home);
      return;
    }
    const JavaVersion version = versionOf(home, key.versionName);
    const bool tooNew = compareJavaVersions(version, criteria_.maxVersion) > 0;
    if (tooNew || compareJavaVersions(version, criteria_.minVersion) < 0) {
      if (diagnosing()) {
        diagnoseVersion(tooNew ? "%s (%s): above Maximum Version %s" : "%s (%s): below Minimum Version %s", key,
                        version, fullVersionText(tooNew ? criteria_.maxVersion : criteria_.minVersion).c_str());
      }
      return;
    }
    const bool developmentKit = probe_.exists(home + L"bin" + probe_.layout.separator + L"javac.exe");
    const JavaVendor vendor = key.openJ9 ? JavaVendor::OpenJ9 : JavaVendor::Sun;
    if (const char* reason = filterReason(developmentKit, vendor, criteria_)) {
      if (diagnosing()) diagnoseVersion((std::string("%s (%s): ") + reason).c_str(), key, version);
      return;
    }
    // A Java 8 kit keeps its VM in its jre folder.
    bool server = false;
    if (findJvmLibraryIn(home, criteria_.jvmType, server, probe_.layout, probe_.exists).empty()) {
      const std::wstring jre = home + L"jre" + probe_.layout.separator;
      if (findJvmLibraryIn(jre, criteria_.jvmType, server, probe_.layout, probe_.exists).empty()) {
        if (diagnosing()) {
          diagnose("%s: passed over, %s: %s", shown(key),
                   whyNoJvmLibrary(home, criteria_.jvmType, probe_.layout, probe_.exists), home);
        }
        return;
      }
      home = jre;
      if (findListedHome(list_, home) != nullptr) {
        if (diagnosing()) diagnose("%s: home %s listed already", shown(key), home);
        return;
      }
    }
    if (diagnosing()) diagnoseVersion("%s (%s): admitted, home %s", key, version, home.c_str());
    list_.push_back(JvmCandidate{version, std::move(home), server,
                                 isRuntimePreferred(developmentKit, vendor, criteria_), vendor});
  }

  // As the classic keys are written: the hive first, no separator last.
  std::wstring shown(const WalkedKey& key) const {
    return hive_ + (L'\\' + key.path.substr(0, key.path.size() - 1));
  }

  void diagnoseVersion(const char* fact, const WalkedKey& key, const JavaVersion& version,
                       const wchar_t* detail = L"") const {
    diagnose(fact, shown(key), fullVersionText(version), detail);
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

bool javaVersionOfRelease(const std::string& text, std::wstring& version) {
  static const char kKey[] = "JAVA_VERSION=";
  const size_t keyLength = sizeof(kKey) - 1;
  for (size_t line = 0; line < text.size();) {
    size_t end = text.find('\n', line);
    if (end == std::string::npos) end = text.size();
    if (text.compare(line, keyLength, kKey) == 0) {
      size_t first = line + keyLength;
      size_t last = end;
      while (last > first && (text[last - 1] == '\r' || text[last - 1] == ' ')) --last;
      if (last - first >= 2 && text[first] == '"' && text[last - 1] == '"') {
        ++first;
        --last;
      }
      // Byte by byte: only its digits count, and no byte turns negative.
      version.clear();
      for (size_t i = first; i < last; ++i) version.push_back(static_cast<unsigned char>(text[i]));
      return !version.empty();
    }
    line = end + 1;
  }
  return false;
}

void collectVendorCandidates(std::vector<JvmCandidate>& list, RegistryReader& registry, const wchar_t* hive,
                             const RuntimeCriteria& criteria, const JavaHomeProbe& probe) {
  VendorWalk walk(list, registry, hive, criteria, probe);
  for (const VendorRegistryKey& key : kVendorRegistryKeys) walk.walk(WalkedKey{key.path, L"", key.openJ9}, 0);
}

}  // namespace tarn
