#include "stamper/embedded_settings.h"

#include <vector>

#include "base/text.h"
#include "config/known_settings.h"
#include "config/profile_text.h"
#include "config/settings_names.h"

namespace tarn::stamper {
namespace {

using namespace settings;

// Also the wide spaces that the built-in parser's trim may take.
bool isSpaceOfEitherReader(wchar_t c) {
  const unsigned long u = static_cast<unsigned long>(c);
  return isProfileBlank(c) || u == 0x85 || u == 0xA0 || u == 0x1680 || (u >= 0x2000 && u <= 0x200A) || u == 0x2028 ||
         u == 0x2029 || u == 0x202F || u == 0x205F || u == 0x3000;
}

// Lines end at CR LF, CR or LF; each counts once.
std::vector<std::wstring> splitLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'\r' && text[i] != L'\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

struct Entry {
  const wchar_t* key;
  std::wstring value;
  size_t line;
};

struct Section {
  const KnownSection* known;
  size_t line;
  std::vector<Entry> entries;
};

std::wstring lineText(size_t line) { return unsignedDecimalText(line); }

class Checker {
 public:
  bool check(const std::wstring& iniText, bool openToFile, SettingsProblem& problem) {
    const std::vector<std::wstring> lines = splitLines(iniText);
    for (size_t i = 0; i < lines.size(); ++i) {
      if (!checkLine(lines[i], i + 1)) {
        problem = SettingsProblem{i + 1, why_};
        return false;
      }
    }
    if (!openToFile) return checkMainClass(problem);
    return true;
  }

  std::wstring text(bool openToFile) const {
    std::wstring out;
    for (const Section& section : sections_) {
      out += L"[" + std::wstring(section.known->name) + L"]\r\n";
      for (const Entry& entry : section.entries) out += std::wstring(entry.key) + L"=" + entry.value + L"\r\n";
    }
    out += L"[" + std::wstring(kBuiltInSettings) + L"]\r\n";
    out += std::wstring(kOpenToFile) + (openToFile ? L"=Yes\r\n" : L"=No\r\n");
    return out;
  }

 private:
  bool fail(std::wstring why) {
    why_ = std::move(why);
    return false;
  }

  bool checkLine(const std::wstring& raw, size_t number) {
    if (raw.find(L'\0') != std::wstring::npos) return fail(L"it holds a NUL character");
    if (raw.find(static_cast<wchar_t>(0xFFFD)) != std::wstring::npos) {
      return fail(L"it holds bytes that are not valid text in the file's encoding");
    }
    const std::wstring line = trimProfileBlanks(raw);
    if (line.empty() || line[0] == L';' || line[0] == L'#') return true;
    if (line[0] == L'[') return checkSectionLine(line, number);
    const size_t equals = line.find(L'=');
    if (equals == std::wstring::npos) return fail(L"it is neither a section, a key=value line nor a comment");
    return checkEntry(trimProfileBlanks(line.substr(0, equals)), trimProfileBlanks(line.substr(equals + 1)), number);
  }

  bool checkSectionLine(const std::wstring& line, size_t number) {
    if (line.back() != L']') {
      return fail(line.find(L']') == std::wstring::npos ? L"a section line without its closing ]"
                                                        : L"text follows the section line's closing ]");
    }
    const std::wstring name = trimProfileBlanks(line.substr(1, line.size() - 2));
    if (equalsNoCase(name, kProductInformation)) {
      return fail(L"[" + std::wstring(kProductInformation) +
                  L"] is read from the configuration file beside the executable only");
    }
    if (!name.empty() && name.back() == L'+' && findKnownSection(name.substr(0, name.size() - 1)) != nullptr) {
      return fail(L"[" + name +
                  L"] adds to the built-in settings from the configuration file beside the executable; "
                  L"it cannot be built in");
    }
    const KnownSection* known = findKnownSection(name);
    if (known == nullptr) return fail(L"unknown section [" + name + L"]");
    for (const Section& section : sections_) {
      if (section.known == known) {
        return fail(L"[" + std::wstring(known->name) + L"] given twice, first on line " + lineText(section.line));
      }
    }
    sections_.push_back(Section{known, number, {}});
    return true;
  }

  bool checkEntry(const std::wstring& key, const std::wstring& rawValue, size_t number) {
    if (sections_.empty()) return fail(L"a key=value line before any section");
    if (key.empty()) return fail(L"no key before the =");
    Section& section = sections_.back();
    const wchar_t* known = findKnownKey(*section.known, key);
    if (known == nullptr) {
      std::wstring why = L"unknown key \"" + key + L"\" in [" + section.known->name + L"]";
      for (const KnownSection& other : knownSections()) {
        if (other.name == kProductInformation || findKnownKey(other, key) == nullptr) continue;
        why += L" (it belongs in [" + std::wstring(other.name) + L"])";
      }
      return fail(why);
    }
    for (const Entry& entry : section.entries) {
      if (entry.key == known) {
        return fail(std::wstring(known) + L" given twice in [" + section.known->name + L"], first on line " +
                    lineText(entry.line));
      }
    }
    const std::wstring value = unquotedProfileValue(rawValue);
    if (!value.empty() && (isSpaceOfEitherReader(value.front()) || isSpaceOfEitherReader(value.back()))) {
      return fail(L"the value of " + std::wstring(known) +
                  L" begins or ends with a blank inside its quotes, which built-in settings do not keep");
    }
    section.entries.push_back(Entry{known, value, number});
    return true;
  }

  bool checkMainClass(SettingsProblem& problem) const {
    for (const Section& section : sections_) {
      if (section.known->name != kJavaRuntimeEnvironment) continue;
      for (const Entry& entry : section.entries) {
        if (entry.key != kMainClass) continue;
        if (!entry.value.empty()) return true;
        problem = SettingsProblem{entry.line, L"Main Class is empty"};
        return false;
      }
    }
    problem = SettingsProblem{0, L"it gives no Main Class in [" + std::wstring(kJavaRuntimeEnvironment) +
                                     L"]; without --open-to-file a stamped launcher takes its Main Class from its "
                                     L"built-in settings only"};
    return false;
  }

  std::vector<Section> sections_;
  std::wstring why_;
};

}  // namespace

bool embeddedSettingsText(const std::wstring& iniText, bool openToFile, std::wstring& text, SettingsProblem& problem) {
  Checker checker;
  if (!checker.check(iniText, openToFile, problem)) return false;
  text = checker.text(openToFile);
  return true;
}

std::string embeddedSettingsBytes(const std::wstring& text) {
  return encodeProfileFile(text, ProfileEncoding::Utf16LE);
}

}  // namespace tarn::stamper
