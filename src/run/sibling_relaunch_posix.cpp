// POSIX: a Linux launcher has no sibling of the other processor width, and
// relaunchPair is never set here; nothing to hand over.
#include "launcher/launcher.h"

namespace tarn {

int32_t Launcher::relaunchSibling() { return 0; }

}  // namespace tarn
