#pragma once
// The library path and the search path the VM is started with: portable
// text rules that take the platform's path rules, so the Windows rules are
// tested natively too, and the runtime's folders on each platform.

#include <string>

#include "base/environment.h"
#include "base/path.h"

namespace tarn {

// The library path before expansion: the configured value, the launcher's
// folder, the current directory, the old search path and the runtime's lib
// folder. moduleFolder ends in a separator.
std::wstring libraryPathText(const std::wstring& libraryPath, const std::wstring& moduleFolder,
                             const std::wstring& jvmLibraryPath, const PathStyle& style);

// The search path before expansion: the system path, the old search path
// and the runtime's bin folder (runtimeBinFolderOf).
std::wstring searchPathText(const std::wstring& systemPath, const std::wstring& runtimeBinFolder,
                            const PathStyle& style);

// A search list (the library path, the search path) with its references
// expanded through `lookup`, without the entries that name nothing: an
// entry that refers to an undefined variable is left out (a literal %PATH%
// is no folder), and so is an empty one (the process's own program lookup
// reads it as the current directory). Entries are separated by the style's
// list separator, also inside the values that references expand to.
std::wstring expandSearchList(const std::wstring& text, const PathStyle& style, const VariableLookup& lookup);

// The search list cut to what one variable holds (the style's
// longestVariableValue): entries ahead of the last one are left out from
// the end, so that the first ones (the System Path) and the last one (the
// runtime's bin folder) stay. A longer value would be cut at its end, or
// refused, and the runtime's bin folder lost.
std::wstring fitSearchList(const std::wstring& list, const PathStyle& style);

// Platform side.
// The value of TARN_JVM_HOME for the chosen JVM library: on Windows the
// path less its last three components (bin\server\jvm.dll); on Linux the
// home that the library's place in the Java home layout gives.
std::wstring runtimeHomeOf(const std::wstring& jvmLibraryPath);
// The runtime's folder of programs, put at the end of the search path: on
// Windows the folder of the JVM library's folder (C:\jre\bin, which also
// holds the DLLs the VM needs); on Linux the bin/ folder of that home.
std::wstring runtimeBinFolderOf(const std::wstring& jvmLibraryPath);

}  // namespace tarn
