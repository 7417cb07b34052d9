// Windows: loading jvm.dll and resolving its exports.
#include <windows.h>

#include "jvm/jvm_library.h"

namespace tarn {

LibraryModule openJvmLibrary(const std::wstring& path, uint32_t& error) {
  // The full path; the library's own dependencies are found in the system's
  // default search order.
  HMODULE module = LoadLibraryW(path.c_str());
  if (module == nullptr) error = GetLastError();
  return module;
}

ExportedFunction findExport(LibraryModule module, const char* name, uint32_t& error) {
  FARPROC function = GetProcAddress(static_cast<HMODULE>(module), name);
  if (function == nullptr) error = GetLastError();
  return reinterpret_cast<ExportedFunction>(function);
}

}  // namespace tarn
