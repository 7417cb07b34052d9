// Linux: no service control manager, no single-instance guard (it hands a
// second start's arguments over through Windows messages and shared memory)
// and no window to ask for a runtime in. Service mode and the guard are
// refused rather than ignored: a service would never be stopped through its
// "stop" method, and a second instance would run the application twice.
#include "launcher/platform_steps.h"

namespace tarn {

std::unique_ptr<PlatformSteps> makePlatformSteps() { return std::make_unique<PlatformSteps>(); }

}  // namespace tarn
