// Windows: environment variables through GetEnvironmentVariableW.
#include <windows.h>

#include <vector>

#include "base/environment.h"

namespace tarn {

bool readEnvironmentVariable(const std::wstring& name, std::wstring& value) {
  if (name.empty() || name.find(L'=') != std::wstring::npos) return false;
  // GetEnvironmentVariableW returns the length without the terminator when
  // the value fits, else the size needed with it; 0 when it is not defined
  // (or, with ERROR_SUCCESS, defined and empty).
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    DWORD length = GetEnvironmentVariableW(name.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      if (GetLastError() != ERROR_SUCCESS) return false;
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

}  // namespace tarn
