#include "base/diagnosis.h"
#include "base/fatal.h"
#include "launcher/launcher.h"
#include "launcher/process_platform.h"

// The build of the end-to-end scenarios searches the installed runtimes in
// a machine laid out below a folder compiled in (tests/CMakeLists.txt);
// nothing at run time moves the folders of the launcher that ships.
#ifdef TARN_TEST_MACHINE_ROOT
#define TARN_MACHINE_ROOT TARN_TEST_MACHINE_ROOT
#else
#define TARN_MACHINE_ROOT L""
#endif

// The command line is read from the platform; argv is only kept for Linux,
// which has no other source of it.
int main(int argc, char** argv) {
  tarn::protectProcess();
  tarn::installFatalFailureHandlers();
  tarn::routeErrorsOfWindowlessProgram();
  tarn::startDiagnosisFromEnvironment();
  tarn::rememberProgramArguments(argc, argv);
  int32_t exitCode = -1;
  {
    tarn::Launcher launcher(tarn::processArguments(), TARN_MACHINE_ROOT);
    tarn::useSystemDefaultLocale();
    exitCode = launcher.run();
  }
  return exitCode;
}
