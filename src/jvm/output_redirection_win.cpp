// Windows: the local clock and the folder operations of the log file walk.
#include <windows.h>

#include "base/scoped_handle_win.h"
#include "jvm/output_redirection.h"
#include "jvm/parent_directories.h"

namespace tarn {
namespace {

class WindowsFolders : public FolderOperations {
 public:
  bool exists(const std::wstring& path) override {
    WIN32_FIND_DATAW found;
    ScopedFindHandle search(FindFirstFileW(path.c_str(), &found));
    return search.valid();
  }

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
  return createParentFolders(path, kWindowsPathSyntax, folders);
}

std::vector<std::wstring> splitPathForCreation(const std::wstring& path) {
  return splitPathForCreation(path, kWindowsPathSyntax);
}

}  // namespace tarn
