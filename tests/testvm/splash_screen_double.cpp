// splashscreen.dll for the end-to-end scenarios: the three functions the
// launcher calls to show a splash image, logging each call to the VM's log.
// An image "loads" when the file exists.
#include <windows.h>

#include <string>

#include "vm_log.h"

using tarn::testvm::escapeNarrow;
using tarn::testvm::logLine;

extern "C" __declspec(dllexport) void SplashInit() { logLine("SplashInit"); }

extern "C" __declspec(dllexport) int SplashLoadFile(const char* file) {
  const bool exists = GetFileAttributesA(file) != INVALID_FILE_ATTRIBUTES;
  logLine("SplashLoadFile " + escapeNarrow(file) + (exists ? " -> 1" : " -> 0"));
  return exists ? 1 : 0;
}

extern "C" __declspec(dllexport) void SplashSetFileJarName(const char* file, const char* jar) {
  logLine("SplashSetFileJarName " + escapeNarrow(file) + " " + (jar == nullptr ? "null" : escapeNarrow(jar)));
}
