#include "run/instance_folder_posix.h"

#include <sys/stat.h>
#include <unistd.h>

namespace tarn {
namespace {

// A folder itself (lstat: a link to one does not count), the user's, closed
// to group and others.
bool isPrivateFolder(const std::string& path) {
  struct stat status;
  if (lstat(path.c_str(), &status) != 0) return false;
  return S_ISDIR(status.st_mode) && status.st_uid == geteuid() && (status.st_mode & 077) == 0;
}

std::string madePrivate(const std::string& path) {
  // An existing one is checked all the same: mkdir never changes it.
  mkdir(path.c_str(), 0700);
  return isPrivateFolder(path) ? path : std::string();
}

}  // namespace

std::string privateInstanceFolder(const char* runtimeDirectory, const std::string& sharedTemporary) {
  if (runtimeDirectory != nullptr && runtimeDirectory[0] == '/' && isPrivateFolder(runtimeDirectory)) {
    const std::string folder = madePrivate(std::string(runtimeDirectory) + "/tarn");
    if (!folder.empty()) return folder;
  }
  return madePrivate(sharedTemporary + "/tarn-" + std::to_string(geteuid()));
}

}  // namespace tarn
