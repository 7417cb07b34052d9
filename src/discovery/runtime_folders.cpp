#include "discovery/runtime_folders.h"

#include <algorithm>

#include "base/diagnosis.h"
#include "base/path.h"
#include "base/text.h"
#include "discovery/release_file.h"
#include "discovery/runtime_admission.h"

namespace tarn {

const RuntimeFolder kRuntimeFolders[11] = {
    {L"/usr/lib/jvm", false, false},     // Debian, Ubuntu, Fedora, Red Hat, Arch, Alpine
    {L"/usr/lib64/jvm", false, false},   // openSUSE
    {L"/usr/java", false, false},        // Oracle's RPM packages
    {L"/opt/java", false, false},        // Eclipse Temurin's container images
    {L"/usr/local/java", false, false},  // archives unpacked by hand
    {L".sdkman/candidates/java", true, false},
    {L".jdks", true, false},  // IntelliJ IDEA
    {L".asdf/installs/java", true, false},
    {L".local/share/mise/installs/java", true, false},
    {L".jbang/cache/jdks", true, false},
    {L".gradle/jdks", true, true},  // Gradle's toolchains
};

namespace {

// Enough for every runtime a machine holds; a flooded folder costs no more.
constexpr size_t kEntriesPerFolder = 64;
// The diagnose mode's name of this source.
const wchar_t kSource[] = L"installed runtimes";

class FolderSearch {
 public:
  FolderSearch(std::vector<JvmCandidate>& list, const RuntimeCriteria& criteria, const FolderProbe& probe)
      : list_(list), criteria_(criteria), probe_(probe) {}

  // The sorted names of a folder's entries, hidden ones (Debian's .jinfo
  // files) left out, at most kEntriesPerFolder of them.
  std::vector<std::wstring> entries(const std::wstring& folder) const {
    std::vector<std::wstring> names;
    for (std::wstring& name : probe_.names(folder)) {
      if (!name.empty() && name[0] != L'.') names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    if (names.size() > kEntriesPerFolder) names.resize(kEntriesPerFolder);
    return names;
  }

  void searchFolder(const std::wstring& folder, bool nested) {
    if (probe_.resolve(folder).empty()) return;
    if (diagnosing()) diagnose("installed runtimes: searching %s", folder);
    for (const std::wstring& name : entries(folder)) {
      const std::wstring path = folder + L'/' + name;
      if (nested && !hasRelease(path)) {
        for (const std::wstring& inner : entries(path)) look(path + L'/' + inner, path + L'/' + inner);
        continue;
      }
      look(path, path);
    }
  }

  // One path that may be a runtime's home; true when it was admitted.
  bool look(const std::wstring& subject, const std::wstring& path) {
    const std::wstring resolved = probe_.resolve(path);
    if (resolved.empty()) {
      if (diagnosing()) diagnose("%s: passed over, it names nothing", subject);
      return false;
    }
    std::wstring home = withTrailingSeparator(resolved, L'/');
    for (const auto& [seenHome, seenBy] : seen_) {
      if (seenHome != home) continue;
      if (diagnosing()) diagnose("%s: the same runtime as %s", subject, seenBy);
      return false;
    }
    seen_.emplace_back(home, subject);
    std::string release;
    std::wstring text;
    if (!probe_.home.readFile(home + L"release", release) || !javaVersionOfRelease(release, text)) {
      if (diagnosing()) {
        diagnose("%s: passed over, %s: %s", subject,
                 probe_.home.exists(home + probe_.home.layout.runtimeMarker)
                     ? L"its release file names no JAVA_VERSION"
                     : L"no runtime there",
                 home);
      }
      return false;
    }
    const JavaVendor vendor = vendorOf(release, home);
    return admitRuntimeHome(list_, subject, std::move(home), parseJavaVersion(text, 0), vendor, criteria_,
                            probe_.home);
  }

 private:
  bool hasRelease(const std::wstring& path) const { return probe_.home.exists(path + L"/release"); }

  // OpenJ9 says so in the release file of Adoptium's builds (Semeru among
  // them), and keeps its VM's redirector in lib/j9vm.
  JavaVendor vendorOf(const std::string& release, const std::wstring& home) const {
    std::wstring variant;
    if (releaseValue(release, "JVM_VARIANT", variant) && equalsNoCase(variant, L"openj9")) return JavaVendor::OpenJ9;
    return probe_.home.exists(home + L"lib/j9vm/libjvm.so") ? JavaVendor::OpenJ9 : JavaVendor::Sun;
  }

  std::vector<JvmCandidate>& list_;
  const RuntimeCriteria& criteria_;
  const FolderProbe& probe_;
  // Each resolved home looked at, with the path it was first looked at by.
  std::vector<std::pair<std::wstring, std::wstring>> seen_;
};

}  // namespace

bool chooseFromFolders(const RuntimeCriteria& criteria, const InstalledPlaces& places, const FolderProbe& probe,
                       JvmCandidate& chosen) {
  std::vector<JvmCandidate> list;
  FolderSearch search(list, criteria, probe);
  if (criteria.javaHomeVariable) {
    if (!places.javaHomeSet || places.javaHome.empty()) {
      if (diagnosing()) diagnose("JAVA_HOME: not set");
    } else if (!isAbsolutePath(places.javaHome, kPosixPathStyle)) {
      if (diagnosing()) diagnose("JAVA_HOME %s: passed over, not an absolute path", places.javaHome);
    } else if (search.look(L"JAVA_HOME " + places.javaHome, places.javaHome)) {
      chosen = list.back();
      if (diagnosing()) diagnose("installed runtimes: taken %s, named by JAVA_HOME", chosen.home);
      return true;
    }
  }
  for (const RuntimeFolder& folder : kRuntimeFolders) {
    if (!folder.perUser) {
      search.searchFolder(places.machineRoot + folder.path, folder.nested);
    } else if (!places.userHome.empty()) {
      search.searchFolder(withTrailingSeparator(places.userHome, L'/') + folder.path, folder.nested);
    }
  }
  return chooseCandidate(list, criteria, kSource, chosen);
}

}  // namespace tarn
