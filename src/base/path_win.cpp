// Windows: full paths and existence by directory search.
#include <windows.h>

#include <vector>

#include "base/path.h"
#include "base/path_win.h"
#include "base/scoped_handle_win.h"

namespace tarn {

const PathStyle& nativePathStyle() { return kWindowsPathStyle; }

std::wstring longPathForm(const std::wstring& path) {
  if (path.size() < MAX_PATH || path.compare(0, 4, L"\\\\?\\") == 0) return path;
  // GetFullPathNameW returns the length without the terminator when the path
  // fits, else the size needed with it; 0 is failure.
  std::vector<wchar_t> buffer(path.size() + MAX_PATH);
  for (;;) {
    const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) return path;
    if (length < buffer.size()) return withLongPathPrefix(std::wstring(buffer.data(), length));
    buffer.resize(length);
  }
}

bool pathExists(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  ScopedFindHandle search(FindFirstFileW(longPathForm(path).c_str(), &data));
  return search.valid();
}

}  // namespace tarn
