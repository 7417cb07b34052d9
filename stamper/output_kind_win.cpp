#include <windows.h>

#include "base/path_win.h"
#include "base/scoped_handle_win.h"
#include "stamper/output_kind.h"

namespace tarn::stamper {

bool outputMayBeReplaced(const std::wstring& path, std::wstring& why) {
  const DWORD attributes = GetFileAttributesW(longPathForm(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    why = L"it is a folder";
    return false;
  }
  // Device names (NUL, CON, COM1, a pipe) open as something other than a disk file.
  ScopedFileHandle file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file || GetFileType(file.get()) == FILE_TYPE_DISK) return true;
  why = L"it is not a regular file (a device or a pipe)";
  return false;
}

}  // namespace tarn::stamper
