// The keys of today's installers on a fake registry and file system, with
// the Windows home layout on every platform.
#include "discovery/vendor_registry.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/path.h"
#include "base/text.h"
#include "config/settings_keywords.h"
#include "unit/diagnosis_capture.h"

namespace tarn {
namespace {

// One hive of one view: a key exists once a value is set in it or below it;
// subkeys are listed in the order they were first set.
class FakeHive : public RegistryReader {
 public:
  // `key` below the hive, ending in a backslash.
  void set(const std::wstring& key, const std::wstring& name, const std::wstring& text) {
    std::vector<uint8_t> bytes;
    for (char16_t unit : toUtf16(text + L'\0')) {
      bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
      bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    values_[key + L'|' + name] = bytes;
    for (size_t end = key.find(L'\\'); end + 1 < key.size(); end = key.find(L'\\', end + 1)) {
      const std::wstring parent = key.substr(0, end + 1);
      const size_t next = key.find(L'\\', end + 1);
      const std::wstring child = key.substr(end + 1, next - end - 1);
      std::vector<std::wstring>& names = subkeys_[parent];
      bool listed = false;
      for (const std::wstring& name : names) listed = listed || name == child;
      if (!listed) names.push_back(child);
    }
  }

  std::vector<std::wstring> subkeyNames(const std::wstring& key) override {
    auto found = subkeys_.find(key);
    return found == subkeys_.end() ? std::vector<std::wstring>() : found->second;
  }
  bool readValue(const std::wstring& key, const std::wstring& name, std::vector<uint8_t>& data) override {
    read.push_back(key + name);
    auto found = values_.find(key + L'|' + name);
    if (found == values_.end()) return false;
    data = found->second;
    return true;
  }

  std::vector<std::wstring> read;

 private:
  std::map<std::wstring, std::vector<uint8_t>> values_;
  std::map<std::wstring, std::vector<std::wstring>> subkeys_;
};

struct FakeFiles {
  std::set<std::wstring> existing;
  std::map<std::wstring, std::string> contents;

  // A runtime home with a VM of the kind; a kit has javac.
  void addHome(const std::wstring& home, const wchar_t* vm, bool kit = false, const char* release = nullptr) {
    existing.insert(home + L"bin\\" + vm + L"\\jvm.dll");
    if (kit) existing.insert(home + L"bin\\javac.exe");
    if (release != nullptr) contents[home + L"release"] = release;
  }
  JavaHomeProbe probe() {
    return JavaHomeProbe{kWindowsJavaHomeLayout, [this](const std::wstring& path) { return existing.count(path) != 0; },
                         [this](const std::wstring& path, std::string& bytes) {
                           auto found = contents.find(path);
                           if (found == contents.end()) return false;
                           bytes = found->second;
                           return true;
                         }};
  }
};

// A hive and the files its runtimes lie in.
struct Machine {
  FakeHive hive;
  FakeFiles files;

  // A runtime registered under `key` (ending in a backslash) by the value.
  void install(const std::wstring& key, const wchar_t* value, const std::wstring& home, const wchar_t* vm,
               bool kit = false, const char* release = nullptr) {
    hive.set(key, value, home);
    files.addHome(withTrailingSeparator(home, L'\\'), vm, kit, release);
  }
};

RuntimeCriteria criteria(const wchar_t* source = L"", const wchar_t* provider = L"", const wchar_t* jvmType = L"",
                         const wchar_t* minimum = L"any", const wchar_t* maximum = L"any") {
  RuntimeCriteria out;
  applyJvmSource(source, out.source);
  applyVmProvider(provider, out.provider);
  out.jvmType = jvmTypeFor(jvmType);
  out.minVersion = versionBoundFor(minimum, 0);
  out.maxVersion = versionBoundFor(maximum, 65535);
  return out;
}

std::vector<JvmCandidate> collect(Machine& machine, const RuntimeCriteria& search = criteria()) {
  std::vector<JvmCandidate> list;
  collectVendorCandidates(list, machine.hive, L"HKLM", search, machine.files.probe());
  return list;
}

TEST(VendorRegistry, EachInstallersLayoutGivesItsHomeAndVersion) {
  struct Row {
    const wchar_t* key;
    const wchar_t* value;
    const wchar_t* home;
    const char* release;  // none: the version comes from the key name
    const wchar_t* version;
    JavaVendor vendor;
  };
  const Row rows[] = {
      {L"Software\\JavaSoft\\JDK\\17.0.2\\", L"JavaHome", L"C:\\Java\\jdk-17.0.2\\", nullptr, L"17.0.2.0",
       JavaVendor::Sun},
      {L"Software\\JavaSoft\\JRE\\9.0.4\\", L"JavaHome", L"C:\\Java\\jre-9.0.4\\", nullptr, L"9.0.4.0", JavaVendor::Sun},
      {L"Software\\Eclipse Adoptium\\JDK\\17.0.9.9\\hotspot\\MSI\\", L"Path", L"C:\\Adoptium\\jdk-17.0.9.9-hotspot\\",
       "JAVA_VERSION=\"17.0.9\"\n", L"17.0.9.0", JavaVendor::Sun},
      {L"Software\\Eclipse Adoptium\\JRE\\21.0.1.12\\hotspot\\MSI\\", L"Path", L"C:\\Adoptium\\jre-21\\", nullptr,
       L"21.0.1.12", JavaVendor::Sun},
      {L"Software\\Eclipse Foundation\\JDK\\16.0.2.7\\hotspot\\MSI\\", L"Path", L"C:\\Foundation\\jdk-16\\", nullptr,
       L"16.0.2.7", JavaVendor::Sun},
      {L"Software\\AdoptOpenJDK\\JDK\\11.0.11.9\\hotspot\\MSI\\", L"Path", L"C:\\Adopt\\jdk-11-hotspot\\", nullptr,
       L"11.0.11.9", JavaVendor::Sun},
      {L"Software\\AdoptOpenJDK\\JRE\\11.0.11.9\\openj9\\MSI\\", L"Path", L"C:\\Adopt\\jre-11-openj9\\", nullptr,
       L"11.0.11.9", JavaVendor::OpenJ9},
      {L"Software\\Microsoft\\JDK\\21.0.1.12\\hotspot\\MSI\\", L"Path", L"C:\\Microsoft\\jdk-21\\", nullptr,
       L"21.0.1.12", JavaVendor::Sun},
      {L"Software\\Azul Systems\\Zulu\\zulu-17\\", L"InstallationPath", L"C:\\Zulu\\zulu-17\\",
       "IMPLEMENTOR=\"Azul Systems, Inc.\"\r\nJAVA_VERSION=\"17.0.8\"\r\n", L"17.0.8.0", JavaVendor::Sun},
      {L"Software\\Azul Systems\\Zulu\\zulu-11\\", L"InstallationPath", L"C:\\Zulu\\zulu-11\\", nullptr, L"11.0.0.0",
       JavaVendor::Sun},
      {L"Software\\BellSoft\\Liberica\\Liberica JDK 17\\", L"InstallationPath", L"C:\\BellSoft\\LibericaJDK-17\\",
       "JAVA_VERSION=17.0.9\n", L"17.0.9.0", JavaVendor::Sun},
      {L"Software\\SAP\\SapMachine\\JDK\\21\\", L"JavaHome", L"C:\\SapMachine\\JDK\\21\\", nullptr, L"21.0.0.0",
       JavaVendor::Sun},
      {L"Software\\Amazon Corretto\\JDK\\17.0.9.8.1\\", L"JavaHome", L"C:\\Corretto\\jdk17.0.9_8\\", nullptr,
       L"17.0.9.8", JavaVendor::Sun},
      {L"Software\\Semeru\\JDK\\17.0.8.1\\openj9\\MSI\\", L"Path", L"C:\\Semeru\\jdk-17-openj9\\", nullptr,
       L"17.0.8.1", JavaVendor::OpenJ9},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(toUtf8(row.key));
    Machine machine;
    machine.install(row.key, row.value, row.home, L"server", false, row.release);
    const std::vector<JvmCandidate> list = collect(machine, criteria(L"", L"any"));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].home, row.home);
    EXPECT_EQ(list[0].version, parseJavaVersion(row.version, 0));
    EXPECT_EQ(list[0].vendor, row.vendor);
    EXPECT_TRUE(list[0].hasServerVm);
  }
}

TEST(VendorRegistry, FiltersOfTheClassicKeysApply) {
  // A JDK 17 with a server VM, a JRE 11 with a client VM, an OpenJ9 JDK 21.
  Machine machine;
  machine.install(L"Software\\JavaSoft\\JDK\\17\\", L"JavaHome", L"C:\\jdk17", L"server", true);
  machine.install(L"Software\\Eclipse Adoptium\\JRE\\11.0.2\\hotspot\\MSI\\", L"Path", L"C:\\jre11\\", L"client");
  machine.install(L"Software\\Semeru\\JDK\\21.0.1\\openj9\\MSI\\", L"Path", L"C:\\semeru21\\", L"server", true);

  struct Row {
    RuntimeCriteria search;
    std::vector<std::wstring> homes;
  };
  const Row rows[] = {
      {criteria(), {L"C:\\jdk17\\", L"C:\\jre11\\"}},
      {criteria(L"", L"any"), {L"C:\\jdk17\\", L"C:\\jre11\\", L"C:\\semeru21\\"}},
      {criteria(L"", L"ibm"), {L"C:\\semeru21\\"}},
      {criteria(L"only_JRE"), {L"C:\\jre11\\"}},
      {criteria(L"only_JDK"), {L"C:\\jdk17\\"}},
      {criteria(L"", L"", L"server"), {L"C:\\jdk17\\"}},
      {criteria(L"", L"", L"", L"12"), {L"C:\\jdk17\\"}},
      {criteria(L"", L"", L"", L"any", L"16"), {L"C:\\jre11\\"}},
  };
  for (size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(i);
    std::vector<std::wstring> homes;
    for (const JvmCandidate& candidate : collect(machine, rows[i].search)) homes.push_back(candidate.home);
    EXPECT_EQ(homes, rows[i].homes);
  }
}

TEST(VendorRegistry, PreferredByKindAndProviderOfTheHome) {
  Machine machine;
  machine.install(L"Software\\JavaSoft\\JDK\\17\\", L"JavaHome", L"C:\\jdk17", L"server", true);
  machine.install(L"Software\\JavaSoft\\JRE\\11\\", L"JavaHome", L"C:\\jre11", L"server");
  const std::vector<JvmCandidate> list = collect(machine, criteria(L"favor_JRE"));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_FALSE(list[0].preferred);
  EXPECT_TRUE(list[1].preferred);
}

TEST(VendorRegistry, OneHomeRegisteredTwiceIsOneCandidate) {
  Machine machine;
  machine.install(L"Software\\JavaSoft\\JDK\\17.0.9\\", L"JavaHome", L"C:\\Temurin\\jdk-17", L"server");
  machine.hive.set(L"Software\\Eclipse Adoptium\\JDK\\17.0.9.9\\hotspot\\MSI\\", L"Path", L"c:\\temurin\\JDK-17\\");
  std::vector<JvmCandidate> list = collect(machine);
  ASSERT_EQ(list.size(), 1u);
  // Nor when the classic keys listed it first.
  collectVendorCandidates(list, machine.hive, L"HKLM", criteria(), machine.files.probe());
  EXPECT_EQ(list.size(), 1u);
}

TEST(VendorRegistry, JavaEightKitKeepsItsVmInTheJreFolder) {
  Machine machine;
  machine.hive.set(L"Software\\Azul Systems\\Zulu\\zulu-8\\", L"InstallationPath", L"C:\\Zulu\\zulu-8\\");
  machine.files.addHome(L"C:\\Zulu\\zulu-8\\jre\\", L"server");
  machine.files.contents[L"C:\\Zulu\\zulu-8\\release"] = "JAVA_VERSION=\"1.8.0_392\"\n";
  const std::vector<JvmCandidate> list = collect(machine);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].home, L"C:\\Zulu\\zulu-8\\jre\\");
  EXPECT_EQ(list[0].version, parseJavaVersion(L"1.8.0.392", 0));
}

TEST(VendorRegistry, HomesThatCannotBeUsedAreSkipped) {
  Machine machine;
  // Relative, empty, no VM at all, and a home below the depth that is read.
  machine.install(L"Software\\JavaSoft\\JDK\\17\\", L"JavaHome", L"jdk17", L"server");
  machine.hive.set(L"Software\\JavaSoft\\JRE\\17\\", L"JavaHome", L"");
  machine.hive.set(L"Software\\Microsoft\\JDK\\21\\hotspot\\MSI\\", L"Path", L"C:\\empty\\");
  machine.install(L"Software\\Azul Systems\\Zulu\\a\\b\\c\\d\\", L"InstallationPath", L"C:\\deep\\", L"server");
  EXPECT_TRUE(collect(machine).empty());
  for (const std::wstring& read : machine.hive.read) {
    EXPECT_EQ(read.find(L"\\d\\"), std::wstring::npos) << toUtf8(read);
  }
}

TEST(VendorRegistry, AHomeValueEndsTheWalkBelowItsKey) {
  // The MSI key below names no other runtime: the version key's home counts.
  Machine machine;
  machine.install(L"Software\\JavaSoft\\JDK\\17\\", L"JavaHome", L"C:\\jdk17\\", L"server");
  machine.install(L"Software\\JavaSoft\\JDK\\17\\hotspot\\MSI\\", L"Path", L"C:\\other\\", L"server");
  const std::vector<JvmCandidate> list = collect(machine);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].home, L"C:\\jdk17\\");
}

TEST(VendorRegistry, JavaVersionOfReleaseFile) {
  struct Row {
    const char* text;
    const wchar_t* version;  // none: no version
  };
  const Row rows[] = {
      {"JAVA_VERSION=\"17.0.9\"\n", L"17.0.9"},
      {"IMPLEMENTOR=\"Eclipse Adoptium\"\r\nJAVA_VERSION=\"21.0.1\"\r\nOS_NAME=\"Windows\"\r\n", L"21.0.1"},
      {"JAVA_VERSION=1.8.0_392", L"1.8.0_392"},
      // Bytes above 0x7F stay the characters of their values.
      {"JAVA_VERSION=\"17\xE9\"", L"17\u00e9"},
      {"JAVA_VERSION=\"\"\n", nullptr},
      {"JAVA_RUNTIME_VERSION=\"17.0.9+9\"\n", nullptr},
      {" JAVA_VERSION=\"17\"\n", nullptr},
      {"", nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    std::wstring version;
    EXPECT_EQ(javaVersionOfRelease(row.text, version), row.version != nullptr);
    if (row.version != nullptr) {
      EXPECT_EQ(version, row.version);
    }
  }
}

}  // namespace
}  // namespace tarn

namespace tarn {
namespace {

TEST(VendorRegistryDiagnosis, KeysAreWrittenAsTheClassicOnesWithTheirReason) {
  Machine machine;
  // Above the maximum, filtered as OpenJ9, without a VM of the type,
  // relative, listed twice, admitted.
  machine.install(L"Software\\Eclipse Adoptium\\JDK\\21.0.1.12\\hotspot\\MSI\\", L"Path", L"C:\\jdk21\\", L"server",
                  false, "JAVA_VERSION=\"21.0.1\"\n");
  machine.install(L"Software\\Semeru\\JDK\\17.0.8.1\\openj9\\MSI\\", L"Path", L"C:\\semeru17\\", L"server");
  machine.hive.set(L"Software\\Microsoft\\JDK\\17.0.9.8\\hotspot\\MSI\\", L"Path", L"C:\\ms17\\");
  machine.files.existing.insert(L"C:\\ms17\\bin\\java.dll");
  machine.hive.set(L"Software\\Azul Systems\\Zulu\\zulu-17\\", L"InstallationPath", L"zulu17");
  machine.install(L"Software\\JavaSoft\\JDK\\17.0.2\\", L"JavaHome", L"C:\\jdk17", L"server");
  machine.hive.set(L"Software\\Amazon Corretto\\JDK\\17.0.2\\", L"JavaHome", L"C:\\JDK17\\");
  DiagnosisCapture capture;
  std::vector<JvmCandidate> list;
  collectVendorCandidates(list, machine.hive, L"HKCU", criteria(L"", L"", L"server", L"any", L"17"),
                          machine.files.probe());
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(DiagnosisCapture::facts(), (std::vector<std::wstring>{
      L"HKCU\\Software\\JavaSoft\\JDK\\17.0.2 (17.0.2.0): admitted, home C:\\jdk17\\",
      L"HKCU\\Software\\Eclipse Adoptium\\JDK\\21.0.1.12\\hotspot\\MSI (21.0.1.0): above Maximum Version "
      L"17.65535.65535.65535",
      L"HKCU\\Software\\Microsoft\\JDK\\17.0.9.8\\hotspot\\MSI: passed over, no JVM library of the JVM type in "
      L"bin\\server: C:\\ms17\\",
      L"HKCU\\Software\\Azul Systems\\Zulu\\zulu-17: passed over, its home is not an absolute path: zulu17",
      L"HKCU\\Software\\Amazon Corretto\\JDK\\17.0.2: home C:\\JDK17\\ listed already",
      L"HKCU\\Software\\Semeru\\JDK\\17.0.8.1\\openj9\\MSI (17.0.8.1): filtered by VM Provider: an OpenJ9 runtime, "
      L"IBM's to VM Provider, taken with ibm, any or a favor_ value",
  }));
}

}  // namespace
}  // namespace tarn
