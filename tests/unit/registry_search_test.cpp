// The registry search on a fake registry and a fake file system, with the
// Windows home layout on every platform.
#include "discovery/classic_registry_keys.h"

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/path.h"
#include "base/text.h"
#include "config/settings_keywords.h"
#include "unit/diagnosis_capture.h"

namespace tarn {
namespace {

// The keys the search reads, written out, in the order it reads them.
const wchar_t* const kJdk = L"Software\\JavaSoft\\Java Development Kit\\";
const wchar_t* const kJre = L"Software\\JavaSoft\\Java Runtime Environment\\";
const wchar_t* const kJRockitJre = L"Software\\JRockit\\Java Runtime Environment\\";
const wchar_t* const kJRockitJdk = L"Software\\JRockit\\Java Development Kit\\";
const wchar_t* const kIbmJre = L"Software\\IBM\\Java2 Runtime Environment\\";
const wchar_t* const kKeysInOrder[] = {kJdk, kJre, kJRockitJre, kJRockitJdk, kIbmJre};

std::vector<uint8_t> utf16Bytes(const std::wstring& text, bool terminated = true) {
  std::vector<uint8_t> bytes;
  auto unit = [&](uint32_t u) {
    bytes.push_back(static_cast<uint8_t>(u & 0xFF));
    bytes.push_back(static_cast<uint8_t>(u >> 8));
  };
  for (wchar_t c : text) {
    const uint32_t code = static_cast<uint32_t>(c);
    if (code > 0xFFFF) {
      unit(0xD800 + ((code - 0x10000) >> 10));
      unit(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      unit(code);
    }
  }
  if (terminated) unit(0);
  return bytes;
}

// HKEY_LOCAL_MACHINE of one view: subkeys in the order they were added, a
// JavaHome value of any bytes or none. Records the keys listed.
class FakeRegistry : public RegistryReader {
 public:
  void addRaw(const std::wstring& key, const std::wstring& name, std::vector<uint8_t> javaHome) {
    subkeys_[key].push_back(name);
    values_[key + name] = std::move(javaHome);
  }
  void add(const std::wstring& key, const std::wstring& name, const std::wstring& javaHome) {
    addRaw(key, name, utf16Bytes(javaHome));
  }
  void addWithoutValue(const std::wstring& key, const std::wstring& name) { subkeys_[key].push_back(name); }

  std::vector<std::wstring> subkeyNames(const std::wstring& key) override {
    listed.push_back(key);
    auto found = subkeys_.find(key);
    return found == subkeys_.end() ? std::vector<std::wstring>() : found->second;
  }
  bool readValue(const std::wstring& key, const std::wstring& name, std::vector<uint8_t>& data) override {
    auto found = values_.find(key);
    if (name != L"JavaHome" || found == values_.end()) return false;
    data = found->second;
    return true;
  }

  std::vector<std::wstring> listed;

 private:
  std::map<std::wstring, std::vector<std::wstring>> subkeys_;
  std::map<std::wstring, std::vector<uint8_t>> values_;
};

struct FakeFiles {
  std::set<std::wstring> existing;

  // bin\<kind>\jvm.dll for each kind under the folder.
  void addVms(const std::wstring& folder, const std::vector<const wchar_t*>& kinds) {
    for (const wchar_t* kind : kinds) existing.insert(folder + L"bin\\" + kind + L"\\jvm.dll");
  }
  JavaHomeProbe probe() {
    return JavaHomeProbe{kWindowsJavaHomeLayout, [this](const std::wstring& path) { return existing.count(path) != 0; },
                         nullptr};
  }
};

// The search criteria as the configuration file's values give them.
struct SettingsText {
  const wchar_t* source = L"";
  const wchar_t* provider = L"";
  const wchar_t* jvmType = L"";
  const wchar_t* minimum = L"any";
  const wchar_t* maximum = L"any";
  const wchar_t* preferred = L"";
};

RuntimeCriteria criteriaFrom(const SettingsText& text) {
  RuntimeCriteria criteria;
  applyJvmSource(text.source, criteria.source);
  applyVmProvider(text.provider, criteria.provider);
  criteria.jvmType = jvmTypeFor(text.jvmType);
  criteria.minVersion = versionBoundFor(text.minimum, 0);
  criteria.maxVersion = versionBoundFor(text.maximum, 65535);
  criteria.preferredVersions = splitAtSeparator(text.preferred, L';');
  return criteria;
}

// One registered runtime: key, subkey name, JavaHome, and its VM folders
// (under jre\ for a development kit).
struct Runtime {
  const wchar_t* key;
  const wchar_t* name;
  const wchar_t* home;
  std::vector<const wchar_t*> vms;
};

bool isDevelopmentKitKey(const std::wstring& key) { return key == kJdk || key == kJRockitJdk; }

void registerRuntimes(const std::vector<Runtime>& runtimes, FakeRegistry& registry, FakeFiles& files) {
  for (const Runtime& runtime : runtimes) {
    registry.add(runtime.key, runtime.name, runtime.home);
    std::wstring folder = withTrailingSeparator(runtime.home, L'\\');
    if (isDevelopmentKitKey(runtime.key)) folder += L"jre\\";
    files.addVms(folder, runtime.vms);
  }
}

// The classic keys of one view searched and the choice made among them.
bool searchClassicKeys(RegistryReader& registry, const RuntimeCriteria& criteria, const JavaHomeProbe& probe,
                       JvmCandidate& chosen) {
  std::vector<JvmCandidate> list;
  collectClassicCandidates(list, registry, criteria, probe);
  return chooseCandidate(list, criteria, L"registry", chosen);
}

TEST(RegistryKeys, SearchedAndPreferredBySourceAndProvider) {
  struct Row {
    const wchar_t* source;
    const wchar_t* provider;
    const char* searched;   // key numbers 1 to 5 in table order
    const char* preferred;
  };
  const Row rows[] = {
      {L"", L"", "12", "12"},
      {L"favor_JRE", L"", "12", "2"},
      {L"favor_JDK", L"", "12", "1"},
      {L"only_JDK", L"", "1", "1"},
      {L"only_JDK", L"favor_jrockit", "14", "4"},
      {L"only_JRE", L"any", "235", ""},
      {L"Only_JDK", L"any", "", ""},
      {L"JRE", L"", "", ""},
      {L"", L"jrockit", "34", "34"},
      {L"", L"JRockit", "34", "34"},
      {L"", L"ibm", "5", "5"},
      {L"", L"any", "12345", ""},
      {L"", L"favor_sun", "12345", "12"},
      {L"", L"FAVOR_IBM", "12345", "5"},
      {L"favor_JRE", L"Favor_JRockit", "12345", "3"},
      {L"", L"sun", "12", "12"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(toUtf8(std::wstring(row.source) + L" / " + row.provider));
    SettingsText text;
    text.source = row.source;
    text.provider = row.provider;
    const RuntimeCriteria settings = criteriaFrom(text);
    std::string searched, preferred;
    for (int i = 0; i < 5; ++i) {
      if (isRuntimeSearched(kRuntimeRegistryKeys[i].developmentKit, kRuntimeRegistryKeys[i].vendor, settings)) searched += static_cast<char>('1' + i);
      if (isRuntimePreferred(kRuntimeRegistryKeys[i].developmentKit, kRuntimeRegistryKeys[i].vendor, settings)) preferred += static_cast<char>('1' + i);
    }
    EXPECT_EQ(searched, row.searched);
    EXPECT_EQ(preferred, row.preferred);

    // The search lists exactly those keys, in table order.
    FakeRegistry registry;
    FakeFiles files;
    JvmCandidate chosen;
    EXPECT_FALSE(searchClassicKeys(registry, settings, files.probe(), chosen));
    std::vector<std::wstring> expected;
    for (char number : std::string(row.searched)) expected.push_back(kKeysInOrder[number - '1']);
    EXPECT_EQ(registry.listed, expected);
  }
}

TEST(RegistrySearch, ChoosesByPreferenceServerVmVersionAndPreferredVersions) {
  struct Row {
    const char* name;
    SettingsText settings;
    std::vector<Runtime> runtimes;
    std::wstring chosen;  // empty: nothing chosen
  };
  const Row rows[] = {
      {"defaults: newest version",
       {},
       {{kJdk, L"1.6.0_20", L"C:\\jdk6", {L"client"}},
        {kJre, L"1.7.0", L"C:\\jre7", {L"client"}},
        {kJre, L"1.5.0_22", L"C:\\jre5", {L"client"}}},
       L"C:\\jre7\\"},
      {"defaults: a development kit first at the same version",
       {},
       {{kJre, L"1.7", L"C:\\jre7", {L"client"}}, {kJdk, L"1.7", L"C:\\jdk7\\", {L"client"}}},
       L"C:\\jdk7\\jre\\"},
      {"defaults: JRockit and IBM are not searched",
       {},
       {{kJRockitJre, L"1.9", L"C:\\jrockit", {L"jrockit"}},
        {kIbmJre, L"1.9", L"C:\\ibm", {L"client"}},
        {kJre, L"1.5", L"C:\\jre5", {L"client"}}},
       L"C:\\jre5\\"},
      {"favor_JRE: any runtime environment before every development kit",
       {L"favor_JRE"},
       {{kJdk, L"1.8", L"C:\\jdk8", {L"client"}}, {kJre, L"1.5", L"C:\\jre5", {L"client"}}},
       L"C:\\jre5\\"},
      {"favor_JDK",
       {L"favor_JDK"},
       {{kJre, L"1.8", L"C:\\jre8", {L"client"}}, {kJdk, L"1.5", L"C:\\jdk5", {L"client"}}},
       L"C:\\jdk5\\jre\\"},
      {"only_JDK: runtime environments are not searched",
       {L"only_JDK"},
       {{kJre, L"1.8", L"C:\\jre8", {L"client"}}, {kJdk, L"1.5", L"C:\\jdk5", {L"client"}}},
       L"C:\\jdk5\\jre\\"},
      {"only_JDK: a favoured vendor is not preferred",
       {L"only_JDK", L"favor_jrockit"},
       {{kJRockitJdk, L"1.6", L"C:\\jrockit6", {L"jrockit"}}, {kJdk, L"1.7", L"C:\\jdk7", {L"client"}}},
       L"C:\\jdk7\\jre\\"},
      {"only_JRE",
       {L"only_JRE"},
       {{kJdk, L"1.8", L"C:\\jdk8", {L"client"}}, {kJre, L"1.5", L"C:\\jre5", {L"client"}}},
       L"C:\\jre5\\"},
      {"a JVM Source that matches no rule searches nothing",
       {L"JRE"},
       {{kJdk, L"1.8", L"C:\\jdk8", {L"client"}}, {kJre, L"1.5", L"C:\\jre5", {L"client"}}},
       L""},
      {"jrockit: only JRockit",
       {L"", L"jrockit"},
       {{kJre, L"1.8", L"C:\\jre8", {L"client"}},
        {kJRockitJre, L"1.5", L"C:\\jrockit5", {L"jrockit"}},
        {kIbmJre, L"1.9", L"C:\\ibm9", {L"client"}}},
       L"C:\\jrockit5\\"},
      {"ibm: only IBM",
       {L"", L"ibm"},
       {{kJre, L"1.8", L"C:\\jre8", {L"client"}}, {kIbmJre, L"1.4", L"C:\\ibm4", {L"classic"}}},
       L"C:\\ibm4\\"},
      {"any: every vendor, none preferred, newest version",
       {L"", L"any"},
       {{kJre, L"1.7", L"C:\\jre7", {L"client"}},
        {kIbmJre, L"1.8", L"C:\\ibm8", {L"client"}},
        {kJRockitJre, L"1.6", L"C:\\jrockit6", {L"jrockit"}}},
       L"C:\\ibm8\\"},
      {"FAVOR_IBM: IBM before newer Sun runtimes",
       {L"", L"FAVOR_IBM"},
       {{kJre, L"1.8", L"C:\\jre8", {L"client"}}, {kIbmJre, L"1.5", L"C:\\ibm5", {L"client"}}},
       L"C:\\ibm5\\"},
      {"sun is no provider name: the defaults",
       {L"", L"sun"},
       {{kIbmJre, L"1.8", L"C:\\ibm8", {L"client"}}, {kJre, L"1.6", L"C:\\jre6", {L"client"}}},
       L"C:\\jre6\\"},
      {"favor_server: a development kit's server VM before a runtime's client VM",
       {L"", L"", L"favor_server"},
       {{kJre, L"1.6.0_30", L"C:\\jre630", {L"client", L"server"}},
        {kJdk, L"1.6.0_20", L"C:\\jdk620", {L"server"}}},
       L"C:\\jdk620\\jre\\"},
      {"favor_server: a runtime with only a server VM counts as one",
       {L"", L"", L"favor_server"},
       {{kJre, L"1.6.0_30", L"C:\\jre630", {L"server"}}, {kJdk, L"1.6.0_20", L"C:\\jdk620", {L"server"}}},
       L"C:\\jre630\\"},
      {"favor_server: preference still decides first",
       {L"favor_JRE", L"", L"favor_server"},
       {{kJre, L"1.6.0_30", L"C:\\jre630", {L"client", L"server"}},
        {kJdk, L"1.6.0_20", L"C:\\jdk620", {L"server"}}},
       L"C:\\jre630\\"},
      {"server: a runtime without a server VM is not admitted",
       {L"", L"", L"server"},
       {{kJre, L"1.8", L"C:\\jre8", {L"client"}}, {kJre, L"1.6", L"C:\\jre6", {L"server"}}},
       L"C:\\jre6\\"},
      {"preferred 1.5;1.6: the first entry that matches",
       {L"", L"", L"", L"any", L"any", L"1.5;1.6"},
       {{kJre, L"1.7.0", L"C:\\jre7", {L"client"}},
        {kJre, L"1.6.0_20", L"C:\\jre6", {L"client"}},
        {kJre, L"1.5.0_22", L"C:\\jre5", {L"client"}}},
       L"C:\\jre5\\"},
      {"preferred 1.5;1.6 without either: the top one",
       {L"", L"", L"", L"any", L"any", L"1.5;1.6"},
       {{kJre, L"1.7.0", L"C:\\jre7", {L"client"}}, {kJre, L"1.8.0", L"C:\\jre8", {L"client"}}},
       L"C:\\jre8\\"},
      {"preferred: the top match within the entry",
       {L"", L"", L"", L"any", L"any", L"1.6"},
       {{kJre, L"1.6.0_20", L"C:\\jre620", {L"client"}},
        {kJre, L"1.7", L"C:\\jre7", {L"client"}},
        {kJre, L"1.6.0_45", L"C:\\jre645", {L"client"}}},
       L"C:\\jre645\\"},
      {"preferred: an empty entry matches every runtime",
       {L"", L"", L"", L"any", L"any", L"1.9;;1.5"},
       {{kJre, L"1.5", L"C:\\jre5", {L"client"}}, {kJre, L"1.7", L"C:\\jre7", {L"client"}}},
       L"C:\\jre7\\"},
      {"bounds: Maximum Version 1.6 takes 1.6.0_45, not 1.7",
       {L"", L"", L"", L"1.6", L"1.6"},
       {{kJre, L"1.7", L"C:\\jre7", {L"client"}},
        {kJre, L"1.6.0_45", L"C:\\jre645", {L"client"}},
        {kJre, L"1.5", L"C:\\jre5", {L"client"}}},
       L"C:\\jre645\\"},
      {"bounds: an empty Maximum Version admits nothing newer than 0.0.0.0",
       {L"", L"", L"", L"any", L""},
       {{kJre, L"1.7", L"C:\\jre7", {L"client"}}, {kJre, L"1.5", L"C:\\jre5", {L"client"}}},
       L""},
      {"bounds: compared literally, four parts",
       {L"", L"", L"", L"1.6.0_20", L"1.6.0_30"},
       {{kJre, L"1.6.0_19", L"C:\\jre619", {L"client"}},
        {kJre, L"1.6.0_31", L"C:\\jre631", {L"client"}},
        {kJre, L"1.6.0_20", L"C:\\jre620", {L"client"}}},
       L"C:\\jre620\\"},
      {"a subkey without digits reads as 0.0.0.0",
       {L"", L"", L"", L"any", L""},
       {{kJre, L"current", L"C:\\current", {L"client"}}},
       L"C:\\current\\"},
      {"equal rank: the registry's order",
       {},
       {{kJre, L"1.7", L"C:\\first", {L"client"}}, {kJre, L"1.7.0.0", L"C:\\second", {L"client"}}},
       L"C:\\first\\"},
      {"a JavaHome that is not absolute is passed over",
       {},
       {{kJre, L"1.8", L"jre8", {L"client"}}, {kJre, L"1.7", L"\\jre7", {L"client"}}, {kJre, L"1.6", L"C:\\jre6", {L"client"}}},
       L"C:\\jre6\\"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeRegistry registry;
    FakeFiles files;
    registerRuntimes(row.runtimes, registry, files);
    JvmCandidate candidate;
    const bool chosen = searchClassicKeys(registry, criteriaFrom(row.settings), files.probe(), candidate);
    EXPECT_EQ(chosen, !row.chosen.empty());
    EXPECT_EQ(candidate.home, row.chosen);
  }
}

TEST(RegistrySearch, CandidatesCarryVersionHomeServerVmAndPreference) {
  FakeRegistry registry;
  FakeFiles files;
  registerRuntimes({{kJre, L"1.6", L"C:\\jre6", {L"client", L"server"}},
                    {kJre, L"1.6.0_20", L"C:\\jre6", {L"client", L"server"}},
                    {kJRockitJre, L"1.6", L"C:\\jrockit", {L"client", L"server"}},
                    {kJdk, L"1.6", L"C:\\jdk", {L"client", L"server"}}},
                   registry, files);
  SettingsText text;
  text.provider = L"favor_sun";
  text.jvmType = L"favor_server";
  const RuntimeCriteria settings = criteriaFrom(text);
  std::vector<JvmCandidate> list;
  for (const RuntimeRegistryKey& key : kRuntimeRegistryKeys) collectCandidates(list, registry, key, settings, files.probe());

  // Key order, then the registry's order within a key. Under favor_server
  // the JavaSoft runtime environment's client VM is found first.
  struct Expected {
    JavaVersion version;
    std::wstring home;
    bool server;
    bool preferred;
  };
  const Expected expected[] = {
      {parseJavaVersion(L"1.6", 0), L"C:\\jdk\\jre\\", true, true},
      {parseJavaVersion(L"1.6.0_20", 0), L"C:\\jre6\\", false, true},
      {parseJavaVersion(L"1.6", 0), L"C:\\jrockit\\", true, false},
  };
  ASSERT_EQ(list.size(), std::size(expected));
  for (size_t i = 0; i < list.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(list[i].version, expected[i].version);
    EXPECT_EQ(list[i].home, expected[i].home);
    EXPECT_EQ(list[i].hasServerVm, expected[i].server);
    EXPECT_EQ(list[i].preferred, expected[i].preferred);
    EXPECT_EQ(list[i].vendor, i == 2 ? JavaVendor::JRockit : JavaVendor::Sun);
  }
}

TEST(RegistrySearch, OneHomeUnderSeveralSubkeysIsOneCandidateOfItsHighestVersion) {
  struct Row {
    const char* name;
    std::vector<Runtime> runtimes;
    std::vector<std::wstring> facts;
  };
  const std::wstring jre = L"HKLM\\Software\\JavaSoft\\Java Runtime Environment\\";
  const Row rows[] = {
      {"the family key first, as the installers write it",
       {{kJre, L"1.6", L"C:\\shared", {L"client"}}, {kJre, L"1.6.0_10", L"C:\\other", {L"client"}},
        {kJre, L"1.6.0_20", L"c:\\SHARED\\", {L"client"}}},
       {jre + L"1.6 (1.6.0.0): admitted, home C:\\shared\\",
        jre + L"1.6.0_10 (1.6.0.10): admitted, home C:\\other\\",
        jre + L"1.6.0_20 (1.6.0.20): home c:\\SHARED\\ listed already, now with this version",
        L"registry: taken C:\\shared\\ (version 1.6.0.20): ranked first",
        L"registry: passed over C:\\other\\ (version 1.6.0.10): ranked below C:\\shared\\"}},
      {"the exact key first",
       {{kJre, L"1.6.0_20", L"C:\\shared", {L"client"}}, {kJre, L"1.6.0_10", L"C:\\other", {L"client"}},
        {kJre, L"1.6", L"C:\\shared", {L"client"}}},
       {jre + L"1.6.0_20 (1.6.0.20): admitted, home C:\\shared\\",
        jre + L"1.6.0_10 (1.6.0.10): admitted, home C:\\other\\",
        jre + L"1.6 (1.6.0.0): home C:\\shared\\ listed already",
        L"registry: taken C:\\shared\\ (version 1.6.0.20): ranked first",
        L"registry: passed over C:\\other\\ (version 1.6.0.10): ranked below C:\\shared\\"}},
      {"a development kit's runtime registered as a runtime too",
       {{kJdk, L"1.6.0_20", L"C:\\jdk6", {L"client"}}, {kJre, L"1.6.0_20", L"C:\\jdk6\\jre", {L"client"}}},
       {L"HKLM\\Software\\JavaSoft\\Java Development Kit\\1.6.0_20 (1.6.0.20): admitted, home C:\\jdk6\\jre\\",
        jre + L"1.6.0_20 (1.6.0.20): home C:\\jdk6\\jre\\ listed already",
        L"registry: taken C:\\jdk6\\jre\\ (version 1.6.0.20): ranked first"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeRegistry registry;
    FakeFiles files;
    registerRuntimes(row.runtimes, registry, files);
    DiagnosisCapture capture;
    JvmCandidate chosen;
    ASSERT_TRUE(searchClassicKeys(registry, criteriaFrom(SettingsText()), files.probe(), chosen));
    EXPECT_EQ(chosen.version, parseJavaVersion(L"1.6.0_20", 0));
    EXPECT_EQ(DiagnosisCapture::facts(), row.facts);
  }
}

TEST(RegistrySearch, SortIsStableUnderEachRule) {
  auto candidate = [](const wchar_t* version, const wchar_t* home, bool server, bool preferred) {
    return JvmCandidate{parseJavaVersion(version, 0), home, server, preferred};
  };
  std::vector<JvmCandidate> list = {
      candidate(L"1.6", L"a", false, false), candidate(L"1.8", L"b", true, false),
      candidate(L"1.6", L"c", false, true),  candidate(L"1.7", L"d", true, true),
      candidate(L"1.6", L"e", false, false), candidate(L"1.6", L"f", true, true),
  };
  auto homes = [](const std::vector<JvmCandidate>& sorted) {
    std::wstring order;
    for (const JvmCandidate& c : sorted) order += c.home;
    return order;
  };
  struct Row {
    bool sourceAny;
    JvmType jvmType;
    const wchar_t* order;
  };
  const Row rows[] = {
      {true, JvmType::Any, L"dcfbae"},           // preferred, then version
      {true, JvmType::FavorServer, L"dfcbae"},   // preferred, then server VM, then version
      {false, JvmType::FavorServer, L"bdface"},  // server VM, then version
      {false, JvmType::Any, L"bdacef"},          // version alone
      {true, JvmType::Server, L"dcfbae"},        // server: no server VM rule
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(toUtf8(row.order));
    std::vector<JvmCandidate> sorted = list;
    sortCandidates(sorted, row.sourceAny, row.jvmType);
    EXPECT_EQ(homes(sorted), row.order);
  }
}

TEST(RegistrySearch, SkipsSubkeysWithoutAUsableHome) {
  FakeRegistry registry;
  FakeFiles files;
  registry.add(kJre, L"1.9", L"");                     // empty JavaHome
  registry.addRaw(kJre, L"1.8.1", {});                 // no data at all
  registry.addWithoutValue(kJre, L"1.8");              // no JavaHome value
  registry.add(kJre, L"1.7", L"C:\\nowhere");          // no such folder
  registry.add(kJre, L"1.6.5", L"C:\\client-only");    // no VM of the type
  files.addVms(L"C:\\client-only\\", {L"client"});
  registry.add(kJdk, L"1.6.9", L"C:\\jdk-without-jre");  // a development kit's VM lies under jre\ only
  files.addVms(L"C:\\jdk-without-jre\\", {L"server"});
  registry.add(kJre, L"1.6", L"C:\\jre6");
  files.addVms(L"C:\\jre6\\", {L"server"});

  SettingsText text;
  text.jvmType = L"server";
  JvmCandidate chosen;
  EXPECT_TRUE(searchClassicKeys(registry, criteriaFrom(text), files.probe(), chosen));
  EXPECT_EQ(chosen.home, L"C:\\jre6\\");
}

TEST(RegistrySearch, JavaHomeOfAnyValueTypeIsItsText) {
  // A REG_BINARY or REG_DWORD value is read as UTF-16 text all the same; a
  // DWORD's text is no full path, so that runtime is passed over.
  FakeRegistry registry;
  FakeFiles files;
  registry.addRaw(kJre, L"1.8", {'C', 0, ':', 0, '\\', 0, 'b', 0});
  files.addVms(L"C:\\b\\", {L"client"});
  registry.addRaw(kJre, L"1.9", {5, 0, 0, 0});
  files.addVms(L"\x05\\", {L"client"});
  std::vector<JvmCandidate> list;
  collectCandidates(list, registry, kRuntimeRegistryKeys[1], criteriaFrom({}), files.probe());
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].home, L"C:\\b\\");
}

TEST(JavaHomeText, TakesUtf16UpToTheFirstZero) {
  struct Row {
    const char* name;
    std::vector<uint8_t> data;
    std::wstring text;
  };
  std::vector<uint8_t> large;
  for (int i = 0; i < 16 * 1024; ++i) large.insert(large.end(), {'a', 0});
  const Row rows[] = {
      {"terminated", utf16Bytes(L"C:\\Java"), L"C:\\Java"},
      {"without terminator", utf16Bytes(L"C:\\Java", false), L"C:\\Java"},
      {"stops at the first zero", {'A', 0, 0, 0, 'B', 0, 0, 0}, L"A"},
      {"empty", {}, L""},
      {"only a terminator", {0, 0}, L""},
      {"odd length drops the half unit", {'A', 0, 'B'}, L"A"},
      {"a single byte", {'A'}, L""},
      {"REG_DWORD", {5, 0, 0, 0}, L"\x05"},
      {"REG_DWORD with a zero low word", {0, 0, 1, 0}, L""},
      {"REG_BINARY", {0x41, 0x30, 0x42, 0x00}, std::wstring(1, static_cast<wchar_t>(0x3041)) + L"B"},
      {"32 KB without terminator", large, std::wstring(16 * 1024, L'a')},
      {"a surrogate pair", utf16Bytes(L"C:\\\U0001F600"), L"C:\\\U0001F600"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(javaHomeText(row.data), row.text);
  }

  // An unpaired surrogate goes to the Windows file system as it is; a Linux
  // wide string cannot hold it.
  const std::wstring lone = javaHomeText({'A', 0, 0x00, 0xD8, 'B', 0});
  ASSERT_EQ(lone.size(), 3u);
  EXPECT_EQ(static_cast<uint32_t>(lone[1]), sizeof(wchar_t) == 2 ? 0xD800u : 0xFFFDu);
}

TEST(RegistrySearch, ManySubkeysAndLongNames) {
  FakeRegistry registry;
  FakeFiles files;
  // 1,000 subkeys of one key, the newest in the middle.
  for (int i = 0; i < 1000; ++i) {
    const std::wstring home = L"C:\\rt\\" + std::to_wstring(i);
    registry.add(kJre, L"1.6.0_" + std::to_wstring(i == 500 ? 9999 : i), home);
    files.addVms(home + L"\\", {L"client"});
  }
  // Names of 255 characters: the version is read from its digit groups.
  const std::wstring longName = L"1.9.0_7-" + std::wstring(247, L'x');
  ASSERT_EQ(longName.size(), 255u);
  registry.add(kJdk, longName, L"C:\\jdk9");
  files.addVms(L"C:\\jdk9\\jre\\", {L"client"});
  // All digits: a group beyond 2147483647 makes it 0.0.0.0, below the minimum.
  registry.add(kJdk, std::wstring(255, L'9'), L"C:\\jdk9");

  SettingsText text;
  text.minimum = L"1.6";
  const RuntimeCriteria settings = criteriaFrom(text);
  std::vector<JvmCandidate> list;
  collectCandidates(list, registry, kRuntimeRegistryKeys[0], settings, files.probe());
  collectCandidates(list, registry, kRuntimeRegistryKeys[1], settings, files.probe());
  ASSERT_EQ(list.size(), 1001u);
  EXPECT_EQ(list[0].version, parseJavaVersion(L"1.9.0.7", 0));

  JvmCandidate chosen;
  text.maximum = L"1.8";
  ASSERT_TRUE(searchClassicKeys(registry, criteriaFrom(text), files.probe(), chosen));
  EXPECT_EQ(chosen.home, L"C:\\rt\\500\\");
}

}  // namespace
}  // namespace tarn

namespace tarn {
namespace {

TEST(RegistrySearchDiagnosis, NamesWhyEachSubkeyIsPassedOverAndHowTheRestRank) {
  FakeRegistry registry;
  FakeFiles files;
  registry.add(kJdk, L"1.6", L"C:\\jdk6");
  files.addVms(L"C:\\jdk6\\jre\\", {L"server"});
  registry.add(kJre, L"1.5", L"C:\\jre5");
  files.addVms(L"C:\\jre5\\", {L"server"});
  registry.add(kJre, L"9", L"C:\\jre9");
  files.addVms(L"C:\\jre9\\", {L"server"});
  registry.add(kJre, L"1.7", L"C:\\client7");
  files.addVms(L"C:\\client7\\", {L"client"});
  registry.add(kJre, L"1.7.1", L"C:\\empty");
  files.existing.insert(L"C:\\empty\\bin\\java.dll");
  registry.add(kJre, L"1.7.2", L"C:\\nowhere");
  registry.addWithoutValue(kJre, L"1.7.3");
  registry.add(kJre, L"1.7.4", L"relative");
  registry.add(kJre, L"1.6.1", L"C:\\jre61");
  files.addVms(L"C:\\jre61\\", {L"server"});
  registry.add(kIbmJre, L"1.8", L"C:\\ibm8");
  files.addVms(L"C:\\ibm8\\", {L"server"});

  SettingsText text;
  text.jvmType = L"server";
  text.minimum = L"1.6";
  text.maximum = L"1.8";
  DiagnosisCapture capture;
  JvmCandidate chosen;
  ASSERT_TRUE(searchClassicKeys(registry, criteriaFrom(text), files.probe(), chosen));
  EXPECT_EQ(chosen.home, L"C:\\jre61\\");
  const std::wstring jre = L"HKLM\\Software\\JavaSoft\\Java Runtime Environment\\";
  EXPECT_EQ(DiagnosisCapture::facts(), (std::vector<std::wstring>{
      L"HKLM\\Software\\JavaSoft\\Java Development Kit\\1.6 (1.6.0.0): admitted, home C:\\jdk6\\jre\\",
      jre + L"1.5 (1.5.0.0): below Minimum Version 1.6.0.0",
      jre + L"9 (9.0.0.0): above Maximum Version 1.8.65535.65535",
      jre + L"1.7: passed over, wrong JVM type: a VM, but no server VM (JVM Type=server): C:\\client7\\",
      jre + L"1.7.1: passed over, no JVM library of the JVM type in bin\\server: C:\\empty\\",
      jre + L"1.7.2: passed over, no runtime there (no bin\\java.dll): C:\\nowhere\\",
      jre + L"1.7.3: passed over, no JavaHome value",
      jre + L"1.7.4: passed over, JavaHome is not an absolute path",
      jre + L"1.6.1 (1.6.1.0): admitted, home C:\\jre61\\",
      L"HKLM\\Software\\IBM\\Java2 Runtime Environment\\1.8 (1.8.0.0): filtered by VM Provider: an IBM runtime, "
      L"taken with ibm, any or a favor_ value",
      L"registry: taken C:\\jre61\\ (version 1.6.1.0): ranked first",
      L"registry: passed over C:\\jdk6\\jre\\ (version 1.6.0.0): ranked below C:\\jre61\\",
  }));
}

TEST(RegistrySearchDiagnosis, KeysLeftOutByJvmSourceOrVmProvider) {
  struct Row {
    SettingsText text;
    size_t key;
    const char* reason;  // null: the key is searched
  };
  const Row rows[] = {
      {{}, 1, nullptr},
      {{L"only_JRE"}, 0, "filtered by JVM Source=only_JRE: a development kit"},
      {{L"only_JDK"}, 1, "filtered by JVM Source=only_JDK: a runtime"},
      {{L"JRE"}, 1, "filtered by JVM Source: none of its words, which leaves every installed runtime out"},
      {{L"", L"ibm"}, 1, "filtered by VM Provider=ibm: a JavaSoft/Oracle runtime"},
      {{L"", L"jrockit"}, 0, "filtered by VM Provider=jrockit: a JavaSoft/Oracle runtime"},
      {{}, 2, "filtered by VM Provider: a JRockit runtime, taken with jrockit, any or a favor_ value"},
      {{}, 4, "filtered by VM Provider: an IBM runtime, taken with ibm, any or a favor_ value"},
      {{L"", L"any"}, 4, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.key);
    const RuntimeRegistryKey& key = kRuntimeRegistryKeys[row.key];
    const char* reason = filterReason(key.developmentKit, key.vendor, criteriaFrom(row.text));
    EXPECT_EQ(reason == nullptr ? std::string("searched") : std::string(reason),
              row.reason == nullptr ? std::string("searched") : std::string(row.reason));
  }
  // An OpenJ9 runtime of today's keys is IBM's, and says so.
  EXPECT_EQ(std::string(filterReason(false, JavaVendor::OpenJ9, criteriaFrom({}))),
            "filtered by VM Provider: an OpenJ9 runtime, IBM's to VM Provider, taken with ibm, any or a favor_ value");
}

}  // namespace
}  // namespace tarn
