// Windows: module path and the per-user settings folder.
#include <windows.h>

#include <vector>

#include "base/environment.h"
#include "base/scoped_handle_win.h"
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

namespace {

// A full path: a drive with its root ("C:\") or a network path ("\\server").
bool isFullPath(const std::wstring& path) {
  if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return true;
  return path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\';
}

// The shell's roaming application-data folder of the user. The shell is
// loaded only here, by its full path in the system folder, so that a start
// that does not need it does not pay for it.
std::wstring shellAppDataFolder() {
  using GetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
  constexpr int kRoamingAppData = 0x001a;  // CSIDL_APPDATA
  wchar_t system[MAX_PATH];
  const UINT length = GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  const std::wstring path = std::wstring(system, length) + L"\\shell32.dll";
  // Its dependencies from the system folder too; the full path alone where
  // the search flags are unknown (Windows 7 without its update).
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) module = LoadLibraryW(path.c_str());
  const ScopedModule shell(module);
  if (!shell) return std::wstring();
  const auto getFolderPath = reinterpret_cast<GetFolderPath>(
      reinterpret_cast<void*>(GetProcAddress(shell.get(), "SHGetFolderPathW")));
  wchar_t folder[MAX_PATH] = {};
  if (getFolderPath == nullptr || FAILED(getFolderPath(nullptr, kRoamingAppData, nullptr, 0, folder))) {
    return std::wstring();
  }
  return folder;
}

}  // namespace

bool perUserSettingsFolder(std::wstring& folder) {
  if (!isNtPlatform()) return false;
  // %APPDATA% is what the system sets from the same folder at logon; where
  // it is unset, empty or relative, the per-user file would lie in a folder
  // anyone can make (the drive's root, the current directory, a share).
  folder.clear();
  readEnvironmentVariable(L"APPDATA", folder);
  if (isFullPath(folder)) return true;
  folder = shellAppDataFolder();
  return isFullPath(folder);
}

}  // namespace tarn
