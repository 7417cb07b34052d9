#pragma once
// The JRE Not Found dialog: tells which Java runtime is needed, links to a
// download page and lets the user pick the folder of an installed runtime.

#include <windows.h>

#include <string>

#include "discovery/runtime_criteria.h"

namespace tarn {

struct MissingJrePick {
  std::wstring folder;     // the folder last picked, ending in a backslash
  std::wstring jvmLibrary;  // its jvm.dll for the JVM type; empty when it has none
};

// Shows the dialog modally, owned by `owner` (none: centred on the work
// area). IDOK with `pick` holding a folder with a runtime of `jvmType`;
// IDCANCEL when the user cancelled or closed it; any other value when it
// could not be shown (its template missing, no window system).
INT_PTR showMissingJreDialog(const std::wstring& text, const std::wstring& downloadUrl, JvmType jvmType, HWND owner,
                             MissingJrePick& pick);

}  // namespace tarn
