// Windows: module path and the per-user settings folder.
#include <windows.h>

#include <vector>

#include "config/launcher_paths.h"

namespace tarn {

bool queryModulePath(std::wstring& out, uint32_t& error) {
  // GetModuleFileNameW returns the size it was given when the path did not
  // fit (and truncates it); grow until it fits, up to the longest path.
  for (DWORD size = MAX_PATH; size <= 0x10000; size *= 2) {
    std::vector<wchar_t> buffer(size);
    SetLastError(ERROR_SUCCESS);
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
    if (length == 0) {
      error = GetLastError();
      return false;
    }
    if (length < size) {
      out.assign(buffer.data(), length);
      return true;
    }
  }
  error = ERROR_INSUFFICIENT_BUFFER;
  return false;
}

namespace {

bool isNtPlatform() {
  OSVERSIONINFOEXW info{};
  info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
  if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) {
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) return false;
  }
  return info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

}  // namespace

bool perUserSettingsFolder(std::wstring& folder) {
  if (!isNtPlatform()) return false;
  folder.clear();
  // GetEnvironmentVariableW returns the length without the terminator, or,
  // when the buffer is too small, the size needed with it.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = GetEnvironmentVariableW(L"APPDATA", buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return true;
    if (length < buffer.size()) {
      folder.assign(buffer.data(), length);
      return true;
    }
    buffer.resize(length);
  }
}

}  // namespace tarn
