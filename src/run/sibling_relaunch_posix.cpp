// POSIX: a Linux launcher has no sibling of the other processor width; no
// runtime here is ever chosen for one, so nothing is ever started.
#include <cerrno>

#include "run/sibling_relaunch.h"

namespace tarn {

bool startSibling(const std::wstring&, bool, int32_t& exitCode, uint32_t& error) {
  exitCode = 0;
  error = ENOSYS;
  return false;
}

}  // namespace tarn
