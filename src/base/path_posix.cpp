// POSIX: existence by stat.
#include <sys/stat.h>

#include "base/path.h"
#include "base/text.h"

namespace tarn {

const PathStyle& nativePathStyle() { return kPosixPathStyle; }

bool pathExists(const std::wstring& path) {
  struct stat info;
  return stat(toUtf8(path).c_str(), &info) == 0;
}

}  // namespace tarn
