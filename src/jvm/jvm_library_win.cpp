// Windows: loading jvm.dll and resolving its exports.
#include <windows.h>

#include "jvm/jvm_library.h"
#include "jvm/search_paths.h"

namespace tarn {

LibraryModule openJvmLibrary(const std::wstring& path, uint32_t& error) {
  // The library's dependencies come from its own folder, the system folder
  // and the runtime's bin folder (which holds the C runtime a VM imports);
  // never from the application's folder or the current directory, where
  // anyone who can drop a file would run code in the VM. AddDllDirectory and
  // the search flags arrived with an update of Windows 7: without them, the
  // altered search order still puts the library's folder first and the
  // runtime's bin folder is on the search path by now.
  using AddDllDirectoryFunction = void*(WINAPI*)(const wchar_t*);
  const auto addDllDirectory = reinterpret_cast<AddDllDirectoryFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "AddDllDirectory")));
  HMODULE module = nullptr;
  if (addDllDirectory != nullptr && addDllDirectory(runtimeBinFolderOf(path).c_str()) != nullptr) {
    module = LoadLibraryExW(path.c_str(), nullptr,
                            LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32 |
                                LOAD_LIBRARY_SEARCH_USER_DIRS);
  } else {
    module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  }
  if (module == nullptr) error = GetLastError();
  return module;
}

ExportedFunction findExport(LibraryModule module, const char* name, uint32_t& error) {
  FARPROC function = GetProcAddress(static_cast<HMODULE>(module), name);
  if (function == nullptr) error = GetLastError();
  return reinterpret_cast<ExportedFunction>(function);
}

}  // namespace tarn
