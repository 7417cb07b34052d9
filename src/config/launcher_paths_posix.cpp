// POSIX: the executable path. Linux keeps no per-user settings file.
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "base/text.h"
#include "config/launcher_paths.h"

namespace tarn {

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

bool perUserSettingsFolder(std::wstring&) { return false; }

}  // namespace tarn
