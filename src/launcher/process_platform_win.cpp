// Windows: the process's command line, locale and current directory.
#include <windows.h>

#include "base/command_line.h"
#include "launcher/process_platform.h"

namespace tarn {

void protectProcess() {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  // A Downloads folder, a share or an installer's temporary folder is not a
  // place to load code from.
  SetDllDirectoryW(L"");
}

void rememberProgramArguments(int, char**) {}

std::vector<std::wstring> processArguments() { return argumentsFromCommandLine(GetCommandLineW()); }

void useSystemDefaultLocale() { SetThreadLocale(GetSystemDefaultLCID()); }

void changeCurrentDirectory(const std::wstring& folder) { SetCurrentDirectoryW(folder.c_str()); }

}  // namespace tarn
