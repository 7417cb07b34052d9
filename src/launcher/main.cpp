#include "base/fatal.h"
#include "launcher/launcher.h"
#include "launcher/process_platform.h"

// The command line is read from the platform; argv is only kept for Linux,
// which has no other source of it.
int main(int argc, char** argv) {
  tarn::protectProcess();
  tarn::installFatalFailureHandlers();
  tarn::routeErrorsOfWindowlessProgram();
  tarn::rememberProgramArguments(argc, argv);
  int32_t exitCode = -1;
  {
    tarn::Launcher launcher(tarn::processArguments());
    tarn::useSystemDefaultLocale();
    exitCode = launcher.run();
  }
  return exitCode;
}
