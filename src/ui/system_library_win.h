#pragma once
// The shell, the common controls and COM are loaded only while a window
// needs them, by their full path in the system folder: a start that shows
// no window does not pay for them, and no file of the same name beside the
// executable or in the current directory is taken instead, for them or for
// the libraries they load.

#include <windows.h>

#include "base/scoped_handle_win.h"

namespace tarn {

// The system folder's `name` (e.g. L"shell32.dll"); none when it cannot be loaded.
ScopedModule loadSystemLibrary(const wchar_t* name);

// The export `name` of `module` as a function pointer of type F; null when
// the module or the export is missing.
template <typename F>
F systemFunction(const ScopedModule& module, const char* name) {
  if (!module) return nullptr;
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module.get(), name)));
}

}  // namespace tarn
