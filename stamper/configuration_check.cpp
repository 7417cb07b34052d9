#include "stamper/configuration_check.h"

#include <algorithm>

#include "base/environment.h"
#include "base/file_system.h"
#include "base/path.h"
#include "base/text.h"
#include "config/known_settings.h"
#include "config/profile_text.h"
#include "config/setting_readings.h"
#include "config/settings_names.h"

namespace tarn::stamper {
namespace {

// Where the launcher looks for a class path entry: a relative one, and one
// with a single leading backslash as configurations for Windows write them,
// below the application's folder.
std::wstring entryPattern(std::wstring entry, const std::wstring& applicationFolder) {
  const PathStyle& style = nativePathStyle();
  const bool belowFolder = entry[0] == L'\\' && entry.compare(0, 2, L"\\\\") != 0;
  if (!style.windowsForms) entry = replaceAll(entry, L'\\', style.separator);
  if (!belowFolder && isAbsolutePath(entry, style)) return entry;
  const size_t start = entry.find_first_not_of(L"\\/");
  return applicationFolder + style.separator + (start == std::wstring::npos ? std::wstring() : entry.substr(start));
}

void checkClassPath(const std::wstring& where, const std::wstring& value, const std::wstring& applicationFolder,
                    std::vector<std::wstring>& findings) {
  for (std::wstring entry : splitAtSeparator(value, L';')) {
    if (entry.empty()) {
      findings.push_back(where + L": an empty entry (left out)");
      continue;
    }
    const std::wstring written = entry;
    expandEnvironment(entry);
    if (matchingNames(entryPattern(entry, applicationFolder)).empty()) {
      findings.push_back(where + L": the entry " + written + L" matches no file in " + applicationFolder);
    }
  }
}

// The section a name reads as: "<name>+" adds to <name>.
const KnownSection* sectionRead(const std::wstring& name) {
  if (!name.empty() && name.back() == L'+') return findKnownSection(name.substr(0, name.size() - 1));
  return findKnownSection(name);
}

}  // namespace

std::vector<std::wstring> checkConfiguration(const std::wstring& text, const std::wstring& applicationFolder) {
  std::vector<std::wstring> findings;
  std::wstring section;
  bool inSection = false;
  const KnownSection* known = nullptr;
  // The launcher reads the first section of a name, and in it the first key
  // of a name, alone.
  std::vector<std::wstring> sectionsSeen;
  std::vector<std::wstring> keysSeen;
  const auto among = [](const std::vector<std::wstring>& names, const std::wstring& name) {
    return std::any_of(names.begin(), names.end(), [&name](const std::wstring& seen) { return equalsNoCase(seen, name); });
  };
  for (const ProfileLine& line : scanProfileLines(text)) {
    const std::wstring name = text.substr(line.nameBegin, line.nameEnd - line.nameBegin);
    if (line.isSection) {
      section = name;
      inSection = true;
      keysSeen.clear();
      if (among(sectionsSeen, section)) {
        findings.push_back(L"[" + section + L"]: given again; the launcher reads only the first");
        known = nullptr;
        continue;
      }
      sectionsSeen.push_back(section);
      known = sectionRead(section);
      if (known == nullptr) {
        const std::wstring nearest = nearestKnownSection(section);
        findings.push_back(L"[" + section + L"]: the launcher reads no such section" +
                           (nearest.empty() ? L"" : L" (did you mean [" + nearest + L"]?)"));
      }
      continue;
    }
    if (!inSection) {
      findings.push_back(name + L": a key before any section, which the launcher never reads");
      continue;
    }
    if (known == nullptr) continue;
    const std::wstring where = L"[" + section + L"] " + name;
    if (among(keysSeen, name)) {
      findings.push_back(where + L": given again; the launcher reads only the first");
      continue;
    }
    keysSeen.push_back(name);
    const wchar_t* key = findKnownKey(*known, name);
    if (key == nullptr) {
      findings.push_back(where + L": the launcher reads no such key in this section");
      continue;
    }
    if (!line.hasValue) continue;
    // The value as the launcher's read gives it: the first key of the name.
    std::wstring value;
    profileReadString(text, section, name, value);
    const std::string reading = settingReading(known->name, key, value);
    if (!reading.empty()) findings.push_back(where + L"=" + value + L" means " + fromUtf8(reading));
    if (known->name == settings::kClassPath) checkClassPath(where, value, applicationFolder, findings);
  }
  return findings;
}

}  // namespace tarn::stamper
