#include "base/system_library_win.h"

#include <string>

namespace tarn {

ScopedModule loadSystemLibrary(const wchar_t* name) {
  wchar_t system[MAX_PATH];
  const UINT length = GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return ScopedModule();
  std::wstring path(system, length);
  path += L'\\';
  path += name;
  // Its dependencies from the system folder too. Windows 7 without the
  // update that brought the search flags refuses them as an invalid
  // parameter: the full path alone then.
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) module = LoadLibraryW(path.c_str());
  return ScopedModule(module);
}

}  // namespace tarn
