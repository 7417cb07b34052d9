#include "config/closed_file_keys.h"

#include "base/text.h"
#include "config/settings_names.h"

namespace tarn {
namespace {

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

bool isMemorySize(const std::wstring& parameter) {
  static const wchar_t* const kOptions[] = {L"-Xms", L"-Xmx", L"-Xmn", L"-Xss"};
  bool known = false;
  for (const wchar_t* option : kOptions) known = known || parameter.compare(0, 4, option) == 0;
  if (!known || parameter.size() < 5 || !isDigit(parameter[4])) return false;
  size_t at = 4;
  while (at < parameter.size() && isDigit(parameter[at])) ++at;
  if (at == parameter.size()) return true;
  // A plain size: one unit letter at the end.
  if (at + 1 == parameter.size() && std::wstring(L"kKmMgGtT").find(parameter[at]) != std::wstring::npos) {
    return true;
  }
  // A share of the memory: up to two ":"-groups of digits, then P or T.
  for (int groups = 0; groups < 2 && at < parameter.size() && parameter[at] == L':'; ++groups) {
    ++at;
    while (at < parameter.size() && isDigit(parameter[at])) ++at;
  }
  return at + 1 == parameter.size() && std::wstring(L"PpTt").find(parameter[at]) != std::wstring::npos;
}

}  // namespace

ClosedFileAccess closedFileAccess(const std::wstring& section, const std::wstring& key) {
  using namespace settings;
  static const struct {
    const wchar_t* section;
    const wchar_t* key;
    ClosedFileAccess access;
  } kAllowed[] = {
      // Whether the exception dialog asks to stop the application.
      {kApplication, kFailureCheck, ClosedFileAccess::Value},
      // Whether the built-in output files are appended to or begun anew.
      {kApplication, kOutputAppend, ClosedFileAccess::Value},
      {kApplication, kErrorAppend, ClosedFileAccess::Value},
      // A larger heap or stack for this machine, after the built-in
      // parameters, which it cannot replace.
      {kJavaRuntimeEnvironment, kVirtualMachineParameters, ClosedFileAccess::MemorySizes},
  };
  for (const auto& entry : kAllowed) {
    if (equalsNoCase(section, entry.section) && equalsNoCase(key, entry.key)) return entry.access;
  }
  return ClosedFileAccess::None;
}

bool memorySizeParameters(const std::wstring& text) {
  bool any = false;
  for (const std::wstring& parameter : splitAtSeparator(text, L' ')) {
    if (parameter.empty()) continue;
    if (!isMemorySize(parameter)) return false;
    any = true;
  }
  return any;
}

}  // namespace tarn
