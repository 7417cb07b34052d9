#include "config/setting_readings.h"

#include <vector>

#include "base/text.h"
#include "config/settings_names.h"

namespace tarn {
namespace {

using namespace settings;

enum class Reading {
  NoCaseYes,          // on with Yes in any case of letters
  LowerCaseYes,       // on with the lower-case yes alone
  AnyValue,           // on with any value at all
  ExactWords,         // one of `words`, compared exactly
  NoCaseWords,        // one of `words`, in any case of letters
  MinimumVersion,     // a version text or "any"
  MaximumVersion,     // a version text or "any"
  PreferredVersions,  // version texts separated by ";"
  Separated,          // entries separated by ";"
};

struct KeyReading {
  const wchar_t* section;
  const wchar_t* key;
  Reading reading;
  // The words of a word key, as the guide lists them, and what any other
  // value gives.
  const wchar_t* words;
  const wchar_t* otherwise;
};

const KeyReading kReadings[] = {
    {kApplication, kFailureCheck, Reading::NoCaseYes, nullptr, nullptr},
    {kApplication, kOverrideWorkingDir, Reading::NoCaseYes, nullptr, nullptr},
    {kApplication, kPairReturnCode, Reading::NoCaseYes, nullptr, nullptr},
    {kApplication, kEmbeddedJar, Reading::NoCaseYes, nullptr, nullptr},
    {kApplication, kSingleInstance, Reading::LowerCaseYes, nullptr, nullptr},
    {kApplication, kOutputAppend, Reading::LowerCaseYes, nullptr, nullptr},
    {kApplication, kErrorAppend, Reading::LowerCaseYes, nullptr, nullptr},
    {kApplication, kOmitServiceName, Reading::AnyValue, nullptr, nullptr},
    {kApplication, kApplicationType, Reading::ExactWords, L"service", L"it runs as a normal program"},
    {kJavaRuntimeEnvironment, kJvmType, Reading::ExactWords, L"server, favor_server", L"client VMs are tried first"},
    {kJavaRuntimeEnvironment, kJvmSource, Reading::ExactWords, L"favor_JRE, favor_JDK, only_JRE, only_JDK",
     L"the registry is not searched at all"},
    {kJavaRuntimeEnvironment, kVmProvider, Reading::NoCaseWords,
     L"jrockit, ibm, favor_sun, favor_jrockit, favor_ibm, any", L"JavaSoft/Oracle runtimes only"},
    {kJavaRuntimeEnvironment, kMinimumVersion, Reading::MinimumVersion, nullptr, nullptr},
    {kJavaRuntimeEnvironment, kMaximumVersion, Reading::MaximumVersion, nullptr, nullptr},
    {kJavaRuntimeEnvironment, kPreferredVersions, Reading::PreferredVersions, nullptr, nullptr},
    {kJavaRuntimeEnvironment, kSystemPath, Reading::Separated, nullptr, nullptr},
    {kJavaRuntimeEnvironment, kLibraryPath, Reading::Separated, nullptr, nullptr},
    {kClassPath, kClassPathKey, Reading::Separated, nullptr, nullptr},
};

bool hasDigit(const std::wstring& text) { return text.find_first_of(L"0123456789") != std::wstring::npos; }

bool isOneOf(const std::wstring& value, const wchar_t* words, bool ignoringCase) {
  for (const std::wstring& listed : splitAtSeparator(words, L',')) {
    const std::wstring word = trimWhiteSpace(listed);
    if (ignoringCase ? equalsNoCase(value, word) : value == word) return true;
  }
  return false;
}

std::wstring preferredVersionsReading(const std::wstring& value) {
  const std::vector<std::wstring> entries = splitAtSeparator(value, L';');
  for (size_t i = 0; i + 1 < entries.size(); ++i) {
    if (hasDigit(entries[i])) continue;
    const std::wstring why = entries[i].empty() ? L"empty" : L"without digits";
    return L"that entry " + unsignedDecimalText(i + 1) + L", " + why +
           L", matches every runtime: the entries after it are never looked at";
  }
  return std::wstring();
}

std::wstring meaning(const KeyReading& row, const std::wstring& value) {
  switch (row.reading) {
    case Reading::NoCaseYes:
      if (value == L"Yes") return std::wstring();
      return equalsNoCase(value, L"Yes") ? L"on: Yes turns it on in any case of letters"
                                         : L"off: only Yes, in any case of letters, turns it on";
    case Reading::LowerCaseYes:
      return value == L"yes" ? std::wstring() : L"off: only yes, in lower case, turns it on";
    case Reading::AnyValue:
      return equalsNoCase(value, L"Yes") ? std::wstring() : L"on: any value turns it on, No and 0 too";
    case Reading::ExactWords:
    case Reading::NoCaseWords: {
      const bool ignoringCase = row.reading == Reading::NoCaseWords;
      if (isOneOf(value, row.words, ignoringCase)) return std::wstring();
      return std::wstring(row.otherwise) + L": it is none of the words " + row.words +
             (ignoringCase ? L"" : L", compared exactly, in their case of letters");
    }
    case Reading::MinimumVersion:
      if (value == L"any" || hasDigit(value)) return std::wstring();
      return L"0.0.0.0, as it has no digits: no lower bound (the word any is written in lower case)";
    case Reading::MaximumVersion:
      if (value == L"any" || hasDigit(value)) return std::wstring();
      return L"0.0.0.0, as it has no digits: every registered runtime lies above it "
             L"(for no upper bound write any, in lower case)";
    case Reading::PreferredVersions:
      return preferredVersionsReading(value);
    case Reading::Separated:
      break;
  }
  return std::wstring();
}

// A ";" or "#" after a blank: written as a comment, read as part of the
// value. In a list separated by ";" only the "#" tells.
bool looksCommented(const std::wstring& value, bool separatedBySemicolons) {
  for (size_t i = 1; i < value.size(); ++i) {
    const bool mark = value[i] == L'#' || (value[i] == L';' && !separatedBySemicolons);
    if (mark && (value[i - 1] == L' ' || value[i - 1] == L'\t')) return true;
  }
  return false;
}

}  // namespace

std::wstring settingReading(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
  if (value.empty()) return std::wstring();
  const KeyReading* found = nullptr;
  for (const KeyReading& row : kReadings) {
    if (section == row.section && key == row.key) found = &row;
  }
  const bool separated =
      found != nullptr && (found->reading == Reading::Separated || found->reading == Reading::PreferredVersions);
  std::wstring reading = found != nullptr ? meaning(*found, value) : std::wstring();
  if (looksCommented(value, separated)) {
    reading += reading.empty() ? L"the whole text: " : L"; ";
    reading += L"the file has no comments, all after = is the value";
  }
  return reading;
}

}  // namespace tarn
