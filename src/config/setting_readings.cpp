#include "config/setting_readings.h"

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
  // The words of a word key, separated by single spaces, and what any other
  // value means.
  const char* words;
  const char* otherwise;
};

const KeyReading kReadings[] = {
    {kApplication, kFailureCheck, Reading::NoCaseYes, nullptr, nullptr},
    {kApplication, kOverrideWorkingDir, Reading::NoCaseYes, nullptr, nullptr},
    {kApplication, kPairReturnCode, Reading::NoCaseYes, nullptr, nullptr},
    {kApplication, kEmbeddedJar, Reading::NoCaseYes, nullptr, nullptr},
    {kJavaRuntimeEnvironment, kUseJavaHome, Reading::NoCaseYes, nullptr, nullptr},
    {kJavaRuntimeEnvironment, kUserVmParameters, Reading::NoCaseYes, nullptr, nullptr},
    {kJavaRuntimeEnvironment, kClassDataSharing, Reading::NoCaseWords, "auto",
     "the VM's own default, no archive kept: the word is auto"},
    {kApplication, kSingleInstance, Reading::LowerCaseYes, nullptr, nullptr},
    {kApplication, kOutputAppend, Reading::LowerCaseYes, nullptr, nullptr},
    {kApplication, kErrorAppend, Reading::LowerCaseYes, nullptr, nullptr},
    {kApplication, kOmitServiceName, Reading::AnyValue, nullptr, nullptr},
    {kApplication, kApplicationType, Reading::ExactWords, "service",
     "a normal program: the word is service, compared exactly"},
    {kJavaRuntimeEnvironment, kJvmType, Reading::ExactWords, "server favor_server",
     "client VMs first: the words are server and favor_server, compared exactly"},
    {kJavaRuntimeEnvironment, kJvmSource, Reading::ExactWords, "favor_JRE favor_JDK only_JRE only_JDK",
     "no registry search at all: the words are favor_JRE, favor_JDK, only_JRE and only_JDK, compared exactly"},
    {kJavaRuntimeEnvironment, kVmProvider, Reading::NoCaseWords, "jrockit ibm favor_sun favor_jrockit favor_ibm any",
     "JavaSoft/Oracle runtimes only: the words are jrockit, ibm, any and the favor_ ones"},
    {kJavaRuntimeEnvironment, kMinimumVersion, Reading::MinimumVersion, nullptr, nullptr},
    {kJavaRuntimeEnvironment, kMaximumVersion, Reading::MaximumVersion, nullptr, nullptr},
    {kJavaRuntimeEnvironment, kPreferredVersions, Reading::PreferredVersions, nullptr, nullptr},
    {kJavaRuntimeEnvironment, kSystemPath, Reading::Separated, nullptr, nullptr},
    {kJavaRuntimeEnvironment, kLibraryPath, Reading::Separated, nullptr, nullptr},
    {kClassPath, kClassPathKey, Reading::Separated, nullptr, nullptr},
};

wchar_t lowerCase(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// The value is the word, a run of `words` up to a space or the end.
bool isWord(const std::wstring& value, const char* word, bool ignoringCase) {
  size_t i = 0;
  for (; word[i] != '\0' && word[i] != ' '; ++i) {
    if (i == value.size()) return false;
    const wchar_t c = static_cast<wchar_t>(word[i]);
    if (ignoringCase ? lowerCase(value[i]) != lowerCase(c) : value[i] != c) return false;
  }
  return i == value.size();
}

bool isOneOf(const std::wstring& value, const char* words, bool ignoringCase) {
  for (const char* word = words; *word != '\0'; ++word) {
    if ((word == words || word[-1] == ' ') && isWord(value, word, ignoringCase)) return true;
  }
  return false;
}

bool hasDigit(const std::wstring& text) { return text.find_first_of(L"0123456789") != std::wstring::npos; }

std::string preferredVersionsReading(const std::wstring& value) {
  // The entries as the list splits them: a final ";" adds none.
  size_t start = 0;
  for (unsigned number = 1;; ++number) {
    const size_t end = value.find(L';', start);
    if (end == std::wstring::npos || end + 1 == value.size()) return std::string();
    const std::wstring entry = value.substr(start, end - start);
    if (!hasDigit(entry)) {
      std::string digits;
      for (unsigned rest = number; rest > 0; rest /= 10) {
        digits.insert(digits.begin(), static_cast<char>('0' + rest % 10));
      }
      return "that entry " + digits + (entry.empty() ? ", empty," : ", without digits,") +
             " matches every runtime: the entries after it are never looked at";
    }
    start = end + 1;
  }
}

std::string meaning(const KeyReading& row, const std::wstring& value) {
  switch (row.reading) {
    case Reading::NoCaseYes:
      if (value == L"Yes") return std::string();
      return isWord(value, "yes", true) ? "on: Yes turns it on in any case of letters"
                                        : "off: only Yes, in any case of letters, turns it on";
    case Reading::LowerCaseYes:
      return value == L"yes" ? std::string() : "off: only yes, in lower case, turns it on";
    case Reading::AnyValue:
      return isWord(value, "yes", true) ? std::string() : "on: any value turns it on, No and 0 too";
    case Reading::ExactWords:
    case Reading::NoCaseWords:
      return isOneOf(value, row.words, row.reading == Reading::NoCaseWords) ? std::string() : row.otherwise;
    case Reading::MinimumVersion:
      if (value == L"any" || hasDigit(value)) return std::string();
      return "0.0.0.0, as it has no digits: no lower bound (the word any is written in lower case)";
    case Reading::MaximumVersion:
      if (value == L"any" || hasDigit(value)) return std::string();
      return "0.0.0.0, as it has no digits: every installed runtime lies above it (for no upper bound write any, "
             "in lower case)";
    case Reading::PreferredVersions:
      return preferredVersionsReading(value);
    case Reading::Separated:
      break;
  }
  return std::string();
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

std::string settingReading(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
  if (value.empty()) return std::string();
  const KeyReading* found = nullptr;
  for (const KeyReading& row : kReadings) {
    if (section == row.section && key == row.key) found = &row;
  }
  const bool separated =
      found != nullptr && (found->reading == Reading::Separated || found->reading == Reading::PreferredVersions);
  std::string reading = found != nullptr ? meaning(*found, value) : std::string();
  if (looksCommented(value, separated)) {
    reading += reading.empty() ? "the whole text: " : "; ";
    reading += "the file has no comments, all after = is the value";
  }
  return reading;
}

}  // namespace tarn
