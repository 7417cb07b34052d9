#pragma once
// Libraries of the system folder loaded by their full path there, with
// their dependencies from the system folder too: no file of the same name
// beside the executable or in the current directory is taken instead. The
// shell, the common controls and COM are loaded so, and only where they are
// needed, so that a start that does not use them does not pay for them.

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
