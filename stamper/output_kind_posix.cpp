#include <sys/stat.h>

#include "base/text.h"
#include "stamper/output_kind.h"

namespace tarn::stamper {

bool outputMayBeReplaced(const std::wstring& path, std::wstring& why) {
  struct stat status;
  // A missing output, or a link that names nothing, is simply written.
  if (::stat(toUtf8(path).c_str(), &status) != 0 || S_ISREG(status.st_mode)) return true;
  why = S_ISDIR(status.st_mode) ? L"it is a folder" : L"it is not a regular file (a device, a pipe or a socket)";
  return false;
}

}  // namespace tarn::stamper
