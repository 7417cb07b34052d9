// POSIX: full paths, file identity and existence by stat.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <vector>

#include "base/path.h"
#include "base/text.h"

namespace tarn {

const PathStyle& nativePathStyle() { return kPosixPathStyle; }

std::wstring absolutePath(const std::wstring& path) {
  if (path.empty() || path[0] == L'/') return path;
  // getcwd fails with ERANGE while the buffer is too small.
  for (size_t size = 256; size <= (1u << 20); size *= 2) {
    std::vector<char> buffer(size);
    if (getcwd(buffer.data(), size) != nullptr) {
      std::wstring folder = fromUtf8(buffer.data());
      return withTrailingSeparator(folder, L'/') + path;
    }
    if (errno != ERANGE) break;
  }
  return path;
}

bool isSameFile(const std::wstring& a, const std::wstring& b) {
  struct stat first;
  struct stat second;
  if (stat(toUtf8(a).c_str(), &first) != 0 || stat(toUtf8(b).c_str(), &second) != 0) return false;
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool pathExists(const std::wstring& path) {
  struct stat info;
  return stat(toUtf8(path).c_str(), &info) == 0;
}

bool isFile(const std::wstring& path) {
  struct stat info;
  return stat(toUtf8(path).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool readFileStart(const std::wstring& path, size_t limit, std::string& bytes) {
  // Without blocking: a FIFO or a device would wait for a writer.
  const int file = open(toUtf8(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (file < 0) return false;
  struct stat info;
  bool read = fstat(file, &info) == 0 && S_ISREG(info.st_mode);
  if (read) {
    // No more than the file held when it was opened: limit may be SIZE_MAX.
    const uint64_t fileSize = static_cast<uint64_t>(info.st_size);
    bytes.assign(fileSize < limit ? static_cast<size_t>(fileSize) : limit, '\0');
    size_t length = 0;
    while (length < bytes.size()) {
      const ssize_t count = ::read(file, bytes.data() + length, bytes.size() - length);
      if (count < 0 && errno == EINTR) continue;
      if (count < 0) read = false;
      if (count <= 0) break;
      length += static_cast<size_t>(count);
    }
    bytes.resize(length);
  }
  close(file);
  return read;
}

}  // namespace tarn
