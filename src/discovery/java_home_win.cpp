// Windows: existence by directory search, the mapped-image check of a
// jvm.dll and the machine check that picks the sibling launcher.
#include <windows.h>

#include "base/scoped_handle_win.h"
#include "discovery/java_home.h"
#include "launcher/launcher.h"

namespace tarn {

const JavaHomeLayout& nativeJavaHomeLayout() { return kWindowsJavaHomeLayout; }

bool fileExists(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  ScopedFindHandle search(FindFirstFileW(path.c_str(), &data));
  return search.valid();
}

bool isX86PeFile(const std::wstring& path) {
  ScopedFileHandle file(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER fileSize;
  // An empty file cannot be mapped; one larger than the address space is not
  // a jvm.dll this process could use either.
  if (!GetFileSizeEx(file.get(), &fileSize) || fileSize.QuadPart <= 0) return false;
  if (static_cast<unsigned long long>(fileSize.QuadPart) > static_cast<SIZE_T>(-1)) return false;
  const SIZE_T size = static_cast<SIZE_T>(fileSize.QuadPart);

  ScopedKernelHandle mapping(CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping) return false;
  // Mapping exactly the size read fails, rather than reading past the end,
  // should the file have changed in between.
  ScopedMappedView view(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, size));
  if (!view) return false;
  return isX86PeImage(static_cast<const uint8_t*>(view.get()), size);
}

void Launcher::checkJvmMachine() {
  relaunchPair = false;
  // Without a sibling launcher the file is not even opened.
  if (pairProduct.empty()) return;
  // Only the 64-bit launcher hands a 32-bit jvm.dll over: the 32-bit one
  // loads it itself, and handing it back would send the start to and fro.
  if (sizeof(void*) == 4) return;
  relaunchPair = isX86PeFile(jvmDllPath);
}

}  // namespace tarn
