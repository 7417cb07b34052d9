// Windows: the local clock and the folder operations of the log file walk.
#include <windows.h>

#include "base/path.h"
#include "jvm/output_redirection.h"
#include "jvm/parent_directories.h"

namespace tarn {
namespace {

class WindowsFolders : public FolderOperations {
 public:
  bool exists(const std::wstring& path) override { return pathExists(path); }

  Outcome createFolder(const std::wstring& path, uint32_t& error) override {
    if (CreateDirectoryW(path.c_str(), nullptr)) return Outcome::Created;
    error = GetLastError();
    return error == ERROR_ALREADY_EXISTS ? Outcome::AlreadyExists : Outcome::Failed;
  }

  void removeFolder(const std::wstring& path) override { RemoveDirectoryW(path.c_str()); }
};

}  // namespace

LocalTime currentLocalTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return LocalTime{now.wYear, now.wMonth, now.wDayOfWeek, now.wDay,
                   now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

uint32_t ensureParentDirectories(const std::wstring& path) {
  WindowsFolders folders;
  return createParentFolders(path, kWindowsPathStyle, folders);
}

}  // namespace tarn
