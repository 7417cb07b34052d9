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

bool isListed(const std::vector<JvmCandidate>& list, const std::wstring& home) {
  for (const JvmCandidate& candidate : list) {
    if (equalsNoCase(candidate.home, home)) return true;
  }
  return false;
}

struct WalkedKey {
  std::wstring path;  // ends in a backslash
  // The first subkey name on the way down with a digit in it: the version,
  // where the layout has one.
  std::wstring versionName;
  bool openJ9;
};

class VendorWalk {
 public:
  VendorWalk(std::vector<JvmCandidate>& list, RegistryReader& registry, const RuntimeCriteria& criteria,
             const JavaHomeProbe& probe)
      : list_(list), registry_(registry), criteria_(criteria), probe_(probe) {}

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
      if (diagnosing()) diagnose("%s: passed over, its home is not an absolute path", key.path);
      return;
    }
    std::wstring home = withTrailingSeparator(text, probe_.layout.separator);
    if (isListed(list_, home)) {
      if (diagnosing()) diagnose("%s: %s, listed already", key.path, home);
      return;
    }
    const JavaVersion version = versionOf(home, key.versionName);
    if (compareJavaVersions(version, criteria_.maxVersion) > 0 ||
        compareJavaVersions(version, criteria_.minVersion) < 0) {
      if (diagnosing()) diagnoseVersion("%s (%s): outside the version bounds", key, version);
      return;
    }
    const bool developmentKit = probe_.exists(home + L"bin" + probe_.layout.separator + L"javac.exe");
    const JavaVendor vendor = key.openJ9 ? JavaVendor::OpenJ9 : JavaVendor::Sun;
    if (!isRuntimeSearched(developmentKit, vendor, criteria_)) {
      if (diagnosing()) diagnoseVersion("%s (%s): filtered by JVM Source or VM Provider", key, version);
      return;
    }
    // A Java 8 kit keeps its VM in its jre folder.
    bool server = false;
    if (findJvmLibraryIn(home, criteria_.jvmType, server, probe_.layout, probe_.exists).empty()) {
      const std::wstring jre = home + L"jre" + probe_.layout.separator;
      if (findJvmLibraryIn(jre, criteria_.jvmType, server, probe_.layout, probe_.exists).empty()) {
        if (diagnosing()) {
          diagnose("%s: passed over, %s: %s", key.path,
                   whyNoJvmLibrary(home, criteria_.jvmType, probe_.layout, probe_.exists), home);
        }
        return;
      }
      home = jre;
      if (isListed(list_, home)) return;
    }
    if (diagnosing()) diagnoseVersion("%s (%s): admitted, home %s", key, version, home.c_str());
    list_.push_back(JvmCandidate{version, std::move(home), server,
                                 isRuntimePreferred(developmentKit, vendor, criteria_), vendor});
  }

  static void diagnoseVersion(const char* fact, const WalkedKey& key, const JavaVersion& version,
                              const wchar_t* detail = L"") {
    diagnose(fact, key.path, formatJavaVersion(version), detail);
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
  const RuntimeCriteria& criteria_;
  const JavaHomeProbe& probe_;
};

}  // namespace

bool releaseFileValue(const std::string& text, const char* key, std::wstring& value) {
  const std::string prefix = std::string(key) + '=';
  for (size_t line = 0; line < text.size();) {
    size_t end = text.find('\n', line);
    if (end == std::string::npos) end = text.size();
    if (text.compare(line, prefix.size(), prefix) == 0) {
      size_t first = line + prefix.size();
      size_t last = end;
      while (last > first && (text[last - 1] == '\r' || text[last - 1] == ' ')) --last;
      if (last - first >= 2 && text[first] == '"' && text[last - 1] == '"') {
        ++first;
        --last;
      }
      // Byte by byte: no byte turns negative.
      value.clear();
      for (size_t i = first; i < last; ++i) value.push_back(static_cast<unsigned char>(text[i]));
      return !value.empty();
    }
    line = end + 1;
  }
  return false;
}

bool javaVersionOfRelease(const std::string& text, std::wstring& version) {
  return releaseFileValue(text, "JAVA_VERSION", version);
}

void collectVendorCandidates(std::vector<JvmCandidate>& list, RegistryReader& registry,
                             const RuntimeCriteria& criteria, const JavaHomeProbe& probe) {
  VendorWalk walk(list, registry, criteria, probe);
  for (const VendorRegistryKey& key : kVendorRegistryKeys) walk.walk(WalkedKey{key.path, L"", key.openJ9}, 0);
}

}  // namespace tarn
