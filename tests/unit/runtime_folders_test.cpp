// The folders of installed runtimes (Linux) on a fake file system: where
// each layout's runtime is found, JAVA_HOME, and the order among entries.
#include "discovery/runtime_folders.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "config/settings_keywords.h"
#include "discovery/release_file.h"

namespace tarn {
namespace {

// Paths without a trailing "/"; a folder exists once something lies in it.
class FakeMachine {
 public:
  // A runtime at `home` with a server VM and the release file's text.
  void runtime(const std::wstring& home, const std::string& release) {
    file(home + L"/lib/server/libjvm.so");
    file(home + L"/lib/libjava.so");
    contents_[home + L"/release"] = release;
    file(home + L"/release");
  }
  void file(const std::wstring& path) {
    for (size_t slash = path.find(L'/', 1); slash != std::wstring::npos; slash = path.find(L'/', slash + 1)) {
      existing_.insert(path.substr(0, slash));
    }
    existing_.insert(path);
  }
  void link(const std::wstring& path, const std::wstring& target) {
    file(path);
    links_[path] = target;
  }

  bool choose(const RuntimeCriteria& criteria, const InstalledPlaces& places, std::wstring& home) {
    const JavaHomeProbe files{kPosixJavaHomeLayout, [this](const std::wstring& path) { return exists(path); },
                              [this](const std::wstring& path, std::string& bytes) {
                                auto found = contents_.find(resolve(path));
                                if (found == contents_.end()) return false;
                                bytes = found->second;
                                return true;
                              }};
    const FolderProbe probe{files, [this](const std::wstring& folder) { return names(folder); },
                            [this](const std::wstring& path) { return resolve(path); }};
    JvmCandidate chosen;
    if (!chooseFromFolders(criteria, places, probe, chosen)) return false;
    home = chosen.home;
    return true;
  }

 private:
  // One link resolved, the rest of the path as it is.
  std::wstring resolve(const std::wstring& path) const {
    if (path.size() > 1 && path.back() == L'/') return resolve(path.substr(0, path.size() - 1));
    for (const auto& [link, target] : links_) {
      if (path.compare(0, link.size(), link) == 0 && (path.size() == link.size() || path[link.size()] == L'/')) {
        return resolve(target + path.substr(link.size()));
      }
    }
    return existing_.count(path) != 0 ? path : std::wstring();
  }
  bool exists(const std::wstring& path) const { return !resolve(path).empty(); }
  // In reverse order, so that nothing depends on the order a folder gives.
  std::vector<std::wstring> names(const std::wstring& folder) const {
    std::vector<std::wstring> found;
    if (resolve(folder).empty()) return found;
    const std::wstring real = resolve(folder) + L'/';
    for (auto it = existing_.rbegin(); it != existing_.rend(); ++it) {
      if (it->compare(0, real.size(), real) == 0 && it->find(L'/', real.size()) == std::wstring::npos) {
        found.push_back(it->substr(real.size()));
      }
    }
    return found;
  }

  std::set<std::wstring> existing_;
  std::map<std::wstring, std::wstring> links_;
  std::map<std::wstring, std::string> contents_;
};

RuntimeCriteria anyVersion(const wchar_t* provider = L"") {
  RuntimeCriteria criteria;
  criteria.maxVersion = versionBoundFor(L"any", 65535);
  applyVmProvider(provider, criteria.provider);
  return criteria;
}

const char kRelease17[] = "JAVA_VERSION=\"17.0.9\"\n";

TEST(RuntimeFolders, EachLayoutGivesItsHome) {
  struct Row {
    const char* name;
    const wchar_t* home;  // the runtime's folder
    const char* release;
    const wchar_t* provider;  // VM Provider
    const wchar_t* expected;  // empty: none chosen
  };
  const Row rows[] = {
      {"a system folder below the machine root", L"/root/usr/lib/jvm/java-17", kRelease17, L"", L"/root/usr/lib/jvm/java-17/"},
      {"a system folder outside the machine root", L"/usr/lib/jvm/java-17", kRelease17, L"", L""},
      {"a per-user folder below the home", L"/home/u/.sdkman/candidates/java/17.0.9-tem", kRelease17, L"",
       L"/home/u/.sdkman/candidates/java/17.0.9-tem/"},
      {"a per-user folder is not below the machine root", L"/root/home/u/.jdks/jdk-17", kRelease17, L"", L""},
      {"Gradle: the archive's folder one level down", L"/home/u/.gradle/jdks/adoptium-17/jdk-17.0.9+9", kRelease17,
       L"", L"/home/u/.gradle/jdks/adoptium-17/jdk-17.0.9+9/"},
      {"Gradle: the runtime in the entry itself", L"/home/u/.gradle/jdks/adoptium-17", kRelease17, L"",
       L"/home/u/.gradle/jdks/adoptium-17/"},
      {"two levels down is too deep", L"/root/usr/lib/jvm/vendor/jdk-17", kRelease17, L"", L""},
      {"no JAVA_VERSION", L"/root/usr/java/jdk", "IMPLEMENTOR=\"x\"\n", L"", L""},
      {"OpenJ9 by its release file, left out by default", L"/root/opt/java/semeru",
       "JAVA_VERSION=\"17.0.9\"\nJVM_VARIANT=\"Openj9\"\n", L"", L""},
      {"OpenJ9 by its release file, taken as IBM's", L"/root/opt/java/semeru",
       "JAVA_VERSION=\"17.0.9\"\nJVM_VARIANT=\"Openj9\"\n", L"ibm", L"/root/opt/java/semeru/"},
      {"HotSpot is not IBM's", L"/root/opt/java/temurin", "JAVA_VERSION=\"17.0.9\"\nJVM_VARIANT=\"Hotspot\"\n",
       L"ibm", L""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeMachine machine;
    machine.runtime(row.home, row.release);
    InstalledPlaces places;
    places.machineRoot = L"/root";
    places.userHome = L"/home/u";
    std::wstring home;
    EXPECT_EQ(machine.choose(anyVersion(row.provider), places, home), *row.expected != 0);
    EXPECT_EQ(home, row.expected);
  }
}

TEST(RuntimeFolders, OpenJ9ByItsVmFolder) {
  FakeMachine machine;
  machine.runtime(L"/usr/lib/jvm/openj9", kRelease17);
  machine.file(L"/usr/lib/jvm/openj9/lib/j9vm/libjvm.so");
  std::wstring home;
  EXPECT_FALSE(machine.choose(anyVersion(), InstalledPlaces{}, home));
  EXPECT_TRUE(machine.choose(anyVersion(L"ibm"), InstalledPlaces{}, home));
}

TEST(RuntimeFolders, PerUserFoldersNeedAHome) {
  FakeMachine machine;
  machine.runtime(L"/.jdks/jdk-17", kRelease17);
  std::wstring home;
  EXPECT_FALSE(machine.choose(anyVersion(), InstalledPlaces{}, home));
}

TEST(RuntimeFolders, JavaHome) {
  struct Row {
    const char* name;
    bool switchedOn;
    bool set;
    const wchar_t* value;
    const wchar_t* maximum;
    const wchar_t* expected;
  };
  // /opt/own holds 11, the folders 17 and 21 (21 by a link to /srv/jdk-21).
  const Row rows[] = {
      {"off: the newest of the folders", false, true, L"/opt/own", L"any", L"/srv/jdk-21/"},
      {"on: before a newer runtime", true, true, L"/opt/own/", L"any", L"/opt/own/"},
      {"on, a link to a folder's runtime", true, true, L"/usr/lib/jvm/default", L"any", L"/usr/lib/jvm/jdk-17/"},
      {"on, unset", true, false, L"", L"any", L"/srv/jdk-21/"},
      {"on, empty", true, true, L"", L"any", L"/srv/jdk-21/"},
      {"on, relative", true, true, L"opt/own", L"any", L"/srv/jdk-21/"},
      {"on, no runtime there", true, true, L"/opt/none", L"any", L"/srv/jdk-21/"},
      {"on, outside the bounds: the folders within them", true, true, L"/srv/jdk-21", L"20", L"/usr/lib/jvm/jdk-17/"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeMachine machine;
    machine.runtime(L"/opt/own", "JAVA_VERSION=\"11.0.2\"\n");
    machine.runtime(L"/usr/lib/jvm/jdk-17", kRelease17);
    machine.runtime(L"/srv/jdk-21", "JAVA_VERSION=\"21\"\n");
    machine.link(L"/usr/lib/jvm/jdk-21", L"/srv/jdk-21");
    machine.link(L"/usr/lib/jvm/default", L"/usr/lib/jvm/jdk-17");
    machine.file(L"/opt/none/readme");
    RuntimeCriteria criteria = anyVersion();
    criteria.maxVersion = versionBoundFor(row.maximum, 65535);
    criteria.javaHomeVariable = row.switchedOn;
    InstalledPlaces places;
    places.javaHomeSet = row.set;
    places.javaHome = row.value;
    std::wstring home;
    EXPECT_TRUE(machine.choose(criteria, places, home));
    EXPECT_EQ(home, row.expected);
  }
}

// Equal versions rank by the entries' sorted names; hidden entries and those
// past the 64th of a flooded folder are not looked at.
TEST(RuntimeFolders, EntriesInNameOrder) {
  FakeMachine machine;
  machine.runtime(L"/usr/lib/jvm/b-17", kRelease17);
  machine.runtime(L"/usr/lib/jvm/a-17", kRelease17);
  machine.runtime(L"/usr/lib/jvm/.hidden-21", "JAVA_VERSION=\"21\"\n");
  std::wstring home;
  ASSERT_TRUE(machine.choose(anyVersion(), InstalledPlaces{}, home));
  EXPECT_EQ(home, L"/usr/lib/jvm/a-17/");

  for (int i = 0; i < 64; ++i) machine.file(L"/usr/java/empty-" + std::to_wstring(100 + i));
  machine.runtime(L"/usr/java/jdk-21", "JAVA_VERSION=\"21\"\n");
  ASSERT_TRUE(machine.choose(anyVersion(), InstalledPlaces{}, home));
  EXPECT_EQ(home, L"/usr/lib/jvm/a-17/");
  machine.runtime(L"/usr/java/a-jdk-21", "JAVA_VERSION=\"21\"\n");
  ASSERT_TRUE(machine.choose(anyVersion(), InstalledPlaces{}, home));
  EXPECT_EQ(home, L"/usr/java/a-jdk-21/");
}

TEST(ReleaseFile, ValueOfAKey) {
  const struct {
    const char* text;
    const char* key;
    const wchar_t* value;  // none: not named
  } rows[] = {
      {"JAVA_VERSION=\"17\"\nJVM_VARIANT=\"Openj9\"\n", "JVM_VARIANT", L"Openj9"},
      {"JVM_VARIANT_X=\"a\"\nJVM_VARIANT=b\r\n", "JVM_VARIANT", L"b"},
      {"JAVA_VERSION_DATE=\"2024-01-16\"\nJAVA_VERSION=\"21.0.2\"\n", "JAVA_VERSION", L"21.0.2"},
      {"JVM_VARIANT\n", "JVM_VARIANT", nullptr},
      {"JVM_VARIANT=\"\"\n", "JVM_VARIANT", nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    std::wstring value;
    EXPECT_EQ(releaseValue(row.text, row.key, value), row.value != nullptr);
    if (row.value != nullptr) {
      EXPECT_EQ(value, row.value);
    }
  }
}

}  // namespace
}  // namespace tarn
