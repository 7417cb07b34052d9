// Windows: where the chosen runtime's home and programs lie.
#include "base/path.h"
#include "jvm/search_paths.h"

namespace tarn {

std::wstring runtimeHomeOf(const std::wstring& jvmLibraryPath) { return stripPathComponents(jvmLibraryPath, 3, L'\\'); }

std::wstring runtimeBinFolderOf(const std::wstring& jvmLibraryPath) {
  return stripPathComponents(jvmLibraryPath, 2, L'\\');
}

}  // namespace tarn
