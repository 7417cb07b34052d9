// Windows: ending the process on a primitive failure.
#include "base/fatal.h"

#include <windows.h>

namespace tarn {

// The process ends with the failure's status code as its exit code, as an
// unhandled structured exception would end it, but without the error-report
// window or debugger start that an unhandled exception can bring up on a
// desktop or under Wine: a launcher must never hang its caller.
void endProcessOnFatalFailure(FatalFailure failure) {
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(failure));
  // TerminateProcess of the own process does not return; be certain anyway.
  ExitProcess(static_cast<UINT>(failure));
}

}  // namespace tarn
