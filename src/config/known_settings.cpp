#include "config/known_settings.h"

#include <algorithm>

#include "base/text.h"
#include "config/settings_names.h"

namespace tarn {

using namespace settings;

const std::vector<KnownSection>& knownSections() {
  static const std::vector<KnownSection> sections = {
      {kProductInformation, {kProductCode, kUpgradeCode, kProductName}},
      {kJavaRuntimeEnvironment,
       {kMinimumVersion, kMaximumVersion, kPreferredVersions, kJrePath, kJvmType, kJvmSource, kVmProvider, kMainClass,
        kSystemPath, kLibraryPath, kVirtualMachineParameters, kDownloadUrl, kRegistrySearch, kUseJavaHome,
        kSplashImage, kClassDataSharing, kMainJar, kUserVmParameters, kMainModule, kModulePath}},
      {kApplication,
       {kApplicationType, kOmitServiceName, kFailureCheck, kOverrideWorkingDir, kPairProduct, kPairReturnCode,
        kSingleInstance, kEmbeddedJar, kOutputFile, kOutputAppend, kErrorFile, kErrorAppend, kCmd, kRestartExitCode,
        kKeepOutputFiles}},
      {kClassPath, {kClassPathKey}},
  };
  return sections;
}

namespace {

wchar_t folded(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// Letters only, folded: "ClassPath" and "class path" meet.
std::wstring lettersOf(const std::wstring& text) {
  std::wstring letters;
  for (wchar_t c : text) {
    if (c != L' ' && c != L'_' && c != L'-') letters += folded(c);
  }
  return letters;
}

size_t editDistance(const std::wstring& a, const std::wstring& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

const KnownSection* findKnownSection(const std::wstring& name) {
  for (const KnownSection& known : knownSections()) {
    if (equalsNoCase(name, known.name)) return &known;
  }
  return nullptr;
}

const wchar_t* findKnownKey(const KnownSection& section, const std::wstring& key) {
  for (const wchar_t* known : section.keys) {
    if (equalsNoCase(key, known)) return known;
  }
  return nullptr;
}

std::wstring nearestKnownSection(const std::wstring& name) {
  const std::wstring letters = lettersOf(name);
  for (const KnownSection& known : knownSections()) {
    if (editDistance(letters, lettersOf(known.name)) <= 2) return known.name;
  }
  return std::wstring();
}

}  // namespace tarn
