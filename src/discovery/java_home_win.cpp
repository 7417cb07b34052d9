// Windows: the Java home layout and the mapped-image check of a jvm.dll.
#include <windows.h>

#include "base/path_win.h"
#include "base/scoped_handle_win.h"
#include "discovery/java_home.h"

namespace tarn {

const JavaHomeLayout& nativeJavaHomeLayout() { return kWindowsJavaHomeLayout; }

bool readPeFileMachine(const std::wstring& path, uint16_t& machine) {
  ScopedFileHandle file(
      CreateFileW(longPathForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
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
  return peImageMachine(static_cast<const uint8_t*>(view.get()), size, machine);
}

}  // namespace tarn
