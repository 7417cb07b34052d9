// Windows: module path and the per-user settings folder.
#include <windows.h>

#include <vector>

#include "base/environment.h"
#include "base/path.h"
#include "base/scoped_handle_win.h"
#include "base/system_library_win.h"
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

// The shell's roaming application-data folder of the user. The shell is
// loaded only here, by its full path in the system folder, so that a start
// that does not need it does not pay for it.
std::wstring shellAppDataFolder() {
  using GetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
  constexpr int kRoamingAppData = 0x001a;  // CSIDL_APPDATA
  const ScopedModule shell = loadSystemLibrary(L"shell32.dll");
  const auto getFolderPath = systemFunction<GetFolderPath>(shell, "SHGetFolderPathW");
  wchar_t folder[MAX_PATH] = {};
  if (getFolderPath == nullptr || FAILED(getFolderPath(nullptr, kRoamingAppData, nullptr, 0, folder))) {
    return std::wstring();
  }
  return folder;
}

}  // namespace

bool perUserSettingsFolder(std::wstring& folder) {
  // %APPDATA% is what the system sets from the same folder at logon; where
  // it is unset, empty or relative, the per-user file would lie in a folder
  // anyone can make (the drive's root, the current directory, a share).
  folder.clear();
  readEnvironmentVariable(L"APPDATA", folder);
  if (isAbsolutePath(folder, kWindowsPathStyle, /*rootedDrive=*/true)) return true;
  folder = shellAppDataFolder();
  return isAbsolutePath(folder, kWindowsPathStyle, /*rootedDrive=*/true);
}

}  // namespace tarn
