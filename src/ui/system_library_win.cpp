#include "ui/system_library_win.h"

#include <string>

namespace tarn {

ScopedModule loadSystemLibrary(const wchar_t* name) {
  wchar_t system[MAX_PATH];
  const UINT length = GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return ScopedModule();
  std::wstring path(system, length);
  path += L'\\';
  path += name;
  return ScopedModule(LoadLibraryW(path.c_str()));
}

}  // namespace tarn
