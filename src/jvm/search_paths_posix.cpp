// POSIX: where the chosen runtime's home and programs lie.
#include "discovery/java_home.h"
#include "jvm/search_paths.h"

namespace tarn {

// The VM lies two (lib/server/) or three (lib/amd64/server/) folders below
// the home, so the Windows rule of three components does not carry over.
std::wstring runtimeHomeOf(const std::wstring& jvmLibraryPath) {
  return javaHomeOfJvmLibrary(jvmLibraryPath, kPosixJavaHomeLayout);
}

// The VM's own folder holds no programs here, and the loader finds the VM's
// libraries without the search path.
std::wstring runtimeBinFolderOf(const std::wstring& jvmLibraryPath) {
  const std::wstring home = runtimeHomeOf(jvmLibraryPath);
  // A home in the current directory keeps its bin folder relative, as on Windows.
  return home.empty() ? std::wstring(L"bin") : home + L"/bin";
}

}  // namespace tarn
