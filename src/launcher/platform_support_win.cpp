// Windows: every way of running the configuration can name exists here.
#include "launcher/platform_support.h"

namespace tarn {

bool supportsConfiguredMode(Launcher&) { return true; }

}  // namespace tarn
