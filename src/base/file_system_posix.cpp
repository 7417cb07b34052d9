// POSIX: the directory search behind wildcard names, and the folder
// operations of the parent folder walk.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <stdio.h>
#include <sys/statvfs.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "base/file_system.h"
#include "base/parent_directories.h"
#include "base/path.h"
#include "base/scoped_descriptor_posix.h"
#include "base/text.h"

namespace tarn {
namespace {

struct DirectoryCloser {
  void operator()(DIR* directory) const { closedir(directory); }
};

// The file name pattern for fnmatch: only * and ? are wildcards, as in a
// Windows search; brackets and backslashes match themselves.
std::string namePattern(const std::string& component) {
  std::string pattern;
  for (char c : component) {
    if (c == '[' || c == ']' || c == '\\') pattern += '\\';
    pattern += c;
  }
  return pattern;
}

class PosixFolders : public FolderOperations {
 public:
  bool exists(const std::wstring& path) override { return pathExists(path); }

  Outcome createFolder(const std::wstring& path, uint32_t& error) override {
    if (mkdir(toUtf8(path).c_str(), 0777) == 0) return Outcome::Created;
    error = static_cast<uint32_t>(errno);
    return error == EEXIST ? Outcome::AlreadyExists : Outcome::Failed;
  }

  void removeFolder(const std::wstring& path) override { rmdir(toUtf8(path).c_str()); }
};

}  // namespace

std::vector<std::wstring> matchingNames(const std::wstring& pattern) {
  std::vector<std::wstring> names;
  const std::string path = toUtf8(pattern);
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const std::string component = slash == std::string::npos ? path : path.substr(slash + 1);
  if (component.empty()) return names;

  // Without a wildcard the component can only match itself: one look at
  // that name instead of a read of the whole folder.
  if (component.find_first_of("*?") == std::string::npos) {
    struct stat status;
    if (lstat(path.c_str(), &status) == 0) names.push_back(fromUtf8(component));
    return names;
  }

  std::unique_ptr<DIR, DirectoryCloser> directory(opendir(folder.c_str()));
  if (!directory) return names;
  const std::string wanted = namePattern(component);
  while (const dirent* entry = readdir(directory.get())) {
    if (fnmatch(wanted.c_str(), entry->d_name, 0) == 0) names.push_back(fromUtf8(entry->d_name));
  }
  return names;
}

uint32_t ensureParentDirectories(const std::wstring& path) {
  PosixFolders folders;
  return createParentFolders(path, kPosixPathStyle, folders);
}

bool fileSizeAndTime(const std::wstring& path, uint64_t& size, uint64_t& time) {
  struct stat status;
  if (stat(toUtf8(path).c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
  size = static_cast<uint64_t>(status.st_size);
  time = static_cast<uint64_t>(status.st_mtim.tv_sec) * 1000000000u + static_cast<uint64_t>(status.st_mtim.tv_nsec);
  return true;
}

bool createNewFile(const std::wstring& path) {
  ScopedDescriptor file(open(toUtf8(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
  return file.get() >= 0;
}

bool replaceFile(const std::wstring& from, const std::wstring& to) {
  return rename(toUtf8(from).c_str(), toUtf8(to).c_str()) == 0;
}

std::vector<FolderFile> filesInFolder(const std::wstring& folder) {
  std::vector<FolderFile> files;
  const std::string path = toUtf8(folder);
  std::unique_ptr<DIR, DirectoryCloser> directory(opendir(path.c_str()));
  if (!directory) return files;
  while (const dirent* entry = readdir(directory.get())) {
    struct stat status;
    if (fstatat(dirfd(directory.get()), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(status.st_mode)) continue;
    const uint64_t written = static_cast<uint64_t>(status.st_mtim.tv_sec) * 1000000000u +
                             static_cast<uint64_t>(status.st_mtim.tv_nsec);
    files.push_back(FolderFile{fromUtf8(entry->d_name), written});
  }
  return files;
}

bool removeFile(const std::wstring& path) { return unlink(toUtf8(path).c_str()) == 0; }

uint64_t freeBytesAt(const std::wstring& folder) {
  struct statvfs volume;
  if (statvfs(toUtf8(folder).c_str(), &volume) != 0) return 0;
  return static_cast<uint64_t>(volume.f_bavail) * volume.f_frsize;
}

uint32_t currentProcessId() { return static_cast<uint32_t>(getpid()); }

}  // namespace tarn
