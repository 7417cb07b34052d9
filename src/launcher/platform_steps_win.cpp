// Windows: the service host, the single-instance guard and the JRE Not
// Found dialog enter the run flow here, each as an override of its step.
// Until they are built the steps are those of a platform without them:
// the settings that ask for them are refused, and the dialog's text is
// written as an error line.
#include "launcher/platform_steps.h"

namespace tarn {

std::unique_ptr<PlatformSteps> makePlatformSteps() { return std::make_unique<PlatformSteps>(); }

}  // namespace tarn
