// Linux: the local clock and the folder operations of the log file walk.
#include <errno.h>
#include <unistd.h>
#include <sys/stat.h>
#include <time.h>

#include "base/path.h"
#include "base/text.h"
#include "jvm/output_redirection.h"
#include "jvm/parent_directories.h"

namespace tarn {
namespace {

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

LocalTime currentLocalTime() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  // A leap second (tm_sec 60) is shown as the last second of its minute.
  const int second = local.tm_sec > 59 ? 59 : local.tm_sec;
  return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_wday, local.tm_mday,
                   local.tm_hour, local.tm_min, second, static_cast<int>(now.tv_nsec / 1000000)};
}

uint32_t ensureParentDirectories(const std::wstring& path) {
  PosixFolders folders;
  return createParentFolders(path, kPosixPathStyle, folders);
}

}  // namespace tarn
