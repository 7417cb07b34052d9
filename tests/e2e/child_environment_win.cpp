#include "child_environment_win.h"

#include <windows.h>

#include <cwchar>
#include <utility>
#include <vector>

namespace tarn::e2e {
namespace {

const wchar_t kPrefix[] = L"TARN_E2E_";
const wchar_t kSetPrefix[] = L"TARN_E2E_SET_";
const wchar_t kUnsetPrefix[] = L"TARN_E2E_UNSET_";

bool startsWith(const std::wstring& text, const wchar_t* prefix) {
  return text.compare(0, wcslen(prefix), prefix) == 0;
}

}  // namespace

bool readVariable(const wchar_t* name, std::wstring& value) {
  std::vector<wchar_t> buffer(256);
  for (;;) {
    // Returns the length without the terminator when the value fits, else the
    // size needed including it; 0 with ERROR_ENVVAR_NOT_FOUND when unset.
    SetLastError(ERROR_SUCCESS);
    DWORD length = GetEnvironmentVariableW(name, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
      value.clear();
      return true;
    }
    if (length < buffer.size()) {
      value.assign(buffer.data(), length);
      return true;
    }
    buffer.resize(length);
  }
}

// Removes every TARN_E2E_* variable and applies the TARN_E2E_SET_* and
// TARN_E2E_UNSET_* ones.
void prepareChildEnvironment() {
  std::vector<std::wstring> names;
  std::vector<std::wstring> removals;
  std::vector<std::pair<std::wstring, std::wstring>> assignments;
  wchar_t* block = GetEnvironmentStringsW();
  if (block == nullptr) return;
  for (const wchar_t* entry = block; *entry != L'\0'; entry += wcslen(entry) + 1) {
    std::wstring text(entry);
    // Entries such as "=C:=C:\dir" begin with '='; they never carry our prefix.
    size_t equals = text.find(L'=', 1);
    if (equals == std::wstring::npos) continue;
    std::wstring name = text.substr(0, equals);
    if (!startsWith(name, kPrefix)) continue;
    names.push_back(name);
    if (startsWith(name, kSetPrefix) && name.size() > wcslen(kSetPrefix)) {
      assignments.emplace_back(name.substr(wcslen(kSetPrefix)), text.substr(equals + 1));
    }
    if (startsWith(name, kUnsetPrefix) && name.size() > wcslen(kUnsetPrefix)) {
      removals.push_back(name.substr(wcslen(kUnsetPrefix)));
    }
  }
  FreeEnvironmentStringsW(block);
  for (const std::wstring& name : names) SetEnvironmentVariableW(name.c_str(), nullptr);
  for (const std::wstring& name : removals) SetEnvironmentVariableW(name.c_str(), nullptr);
  for (const auto& assignment : assignments) {
    SetEnvironmentVariableW(assignment.first.c_str(), assignment.second.c_str());
  }
}

}  // namespace tarn::e2e
