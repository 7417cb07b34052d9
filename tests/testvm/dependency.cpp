// tarnvmdep.dll, the library that the "dependent" test VM imports, as a real
// jvm.dll imports the C runtime beside it: it logs where it was loaded from,
// so a scenario sees which copy the system's search found.
#include <windows.h>

#include "vm_log.h"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    tarn::testvm::logLine("dependency " + tarn::testvm::escapeWide(tarn::testvm::ownModulePath()));
  }
  return TRUE;
}

extern "C" __declspec(dllexport) int tarnVmDependency() { return 1; }
