// Windows: the directory search behind wildcard names, and the folder
// operations of the parent folder walk.
#include <windows.h>

#include "base/file_system.h"
#include "base/parent_directories.h"
#include "base/path.h"
#include "base/path_win.h"
#include "base/scoped_handle_win.h"

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

std::vector<std::wstring> matchingNames(const std::wstring& pattern) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  ScopedFindHandle search(FindFirstFileW(longPathForm(pattern).c_str(), &data));
  if (!search) return names;
  do {
    names.emplace_back(data.cFileName);
  } while (FindNextFileW(search.get(), &data));
  return names;
}

uint32_t ensureParentDirectories(const std::wstring& path) {
  WindowsFolders folders;
  return createParentFolders(path, kWindowsPathStyle, folders);
}

bool fileSizeAndTime(const std::wstring& path, uint64_t& size, uint64_t& time) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(longPathForm(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return false;
  }
  size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  time = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  return true;
}

bool createNewFile(const std::wstring& path) {
  const ScopedFileHandle file(CreateFileW(longPathForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(file);
}

bool replaceFile(const std::wstring& from, const std::wstring& to) {
  return MoveFileExW(longPathForm(from).c_str(), longPathForm(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::vector<FolderFile> filesInFolder(const std::wstring& folder) {
  std::vector<FolderFile> files;
  WIN32_FIND_DATAW data;
  ScopedFindHandle search(FindFirstFileW(longPathForm(withTrailingSeparator(folder, L'\\') + L"*").c_str(), &data));
  if (!search) return files;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const uint64_t written = static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32 |
                             data.ftLastWriteTime.dwLowDateTime;
    files.push_back(FolderFile{data.cFileName, written});
  } while (FindNextFileW(search.get(), &data));
  return files;
}

bool removeFile(const std::wstring& path) { return DeleteFileW(longPathForm(path).c_str()) != 0; }

uint64_t freeBytesAt(const std::wstring& folder) {
  ULARGE_INTEGER available;
  if (!GetDiskFreeSpaceExW(longPathForm(folder).c_str(), &available, nullptr, nullptr)) return 0;
  return available.QuadPart;
}

uint32_t currentProcessId() { return GetCurrentProcessId(); }

}  // namespace tarn
