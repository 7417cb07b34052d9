// Windows: module path, APPDATA, platform family and file existence.
#include <windows.h>

#include <vector>

#include "base/scoped_handle_win.h"
#include "config/launcher_paths.h"

namespace tarn {

const PathStyle& nativePathStyle() { return kWindowsPathStyle; }

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

std::wstring appDataFolder() {
  // GetEnvironmentVariableW returns the length without the terminator, or,
  // when the buffer is too small, the size needed with it.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD length = GetEnvironmentVariableW(L"APPDATA", buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::wstring();
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(length);
  }
}

bool isNtPlatform() {
  OSVERSIONINFOEXW info{};
  info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
  if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) {
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) return false;
  }
  return info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool findFile(const std::wstring& path) {
  std::wstring searched = withLongPathPrefix(path);
  WIN32_FIND_DATAW data;
  ScopedFindHandle search(FindFirstFileW(searched.c_str(), &data));
  if (!search) return false;
  DWORD needed = GetFullPathNameW(searched.c_str(), 0, nullptr, nullptr);
  if (needed != 0) {
    std::vector<wchar_t> full(needed);
    needed = GetFullPathNameW(searched.c_str(), needed, full.data(), nullptr);
  }
  if (needed == 0) {
    search.reset();
    SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  return true;
}

void createFolder(const std::wstring& path) { CreateDirectoryW(path.c_str(), nullptr); }

}  // namespace tarn
