// POSIX: a Linux launcher has no sibling of the other processor width; no
// runtime here is ever chosen for one, so nothing is handed over.
#include "run/sibling_relaunch.h"

namespace tarn {

int32_t relaunchSibling(const std::wstring&, bool) { return 0; }

}  // namespace tarn
