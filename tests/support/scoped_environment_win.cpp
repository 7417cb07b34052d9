#include <windows.h>

#include <vector>

#include "support/scoped_environment.h"

namespace tarn::test {

std::optional<std::wstring> environmentValue(const std::wstring& name) {
  SetLastError(ERROR_SUCCESS);
  const DWORD size = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
  if (size == 0) {
    if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    return std::wstring();
  }
  std::vector<wchar_t> buffer(size);
  const DWORD length = GetEnvironmentVariableW(name.c_str(), buffer.data(), size);
  return std::wstring(buffer.data(), length);
}

void setEnvironmentValue(const std::wstring& name, const std::optional<std::wstring>& value) {
  SetEnvironmentVariableW(name.c_str(), value ? value->c_str() : nullptr);
}

}  // namespace tarn::test
