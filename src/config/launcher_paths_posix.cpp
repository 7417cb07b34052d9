// POSIX: executable path, per-user folder and file existence.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "base/text.h"
#include "config/launcher_paths.h"

namespace tarn {

const PathStyle& nativePathStyle() { return kPosixPathStyle; }

bool queryModulePath(std::wstring& out, uint32_t& error) {
  // readlink does not say whether it truncated: grow until the result is
  // shorter than the buffer.
  for (size_t size = 256; size <= (1u << 20); size *= 2) {
    std::vector<char> buffer(size);
    ssize_t length = readlink("/proc/self/exe", buffer.data(), size);
    if (length < 0) {
      error = static_cast<uint32_t>(errno);
      return false;
    }
    if (static_cast<size_t>(length) < size) {
      out = fromUtf8(std::string(buffer.data(), static_cast<size_t>(length)));
      return true;
    }
  }
  error = ENAMETOOLONG;
  return false;
}

std::wstring appDataFolder() {
  const char* config = getenv("XDG_CONFIG_HOME");
  if (config != nullptr && *config != '\0') return fromUtf8(config);
  const char* home = getenv("HOME");
  if (home != nullptr && *home != '\0') return fromUtf8(home) + L"/.config";
  return std::wstring();
}

bool isNtPlatform() { return false; }

bool findFile(const std::wstring& path) {
  struct stat info;
  return stat(toUtf8(path).c_str(), &info) == 0;
}

void createFolder(const std::wstring& path) { mkdir(toUtf8(path).c_str(), 0777); }

}  // namespace tarn
