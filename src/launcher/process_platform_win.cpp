// Windows: the process's command line, locale and current directory.
#include <windows.h>

#include "base/command_line.h"
#include "launcher/process_platform.h"

namespace tarn {

namespace {

// The system's last resort for an exception no one handles ends the process
// with the exception's code.
LONG WINAPI endWithExceptionCode(EXCEPTION_POINTERS*) { return EXCEPTION_EXECUTE_HANDLER; }

}  // namespace

void protectProcess() {
  // A crash (a VM that fails while it starts, before its own handler is in
  // place) ends the process with the exception's code, rather than waiting
  // in an error report or a debugger for someone to click. Wine starts its
  // debugger whatever the error mode says, but not past this filter.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX);
  SetUnhandledExceptionFilter(endWithExceptionCode);
  // The current directory (a Downloads folder, a share, an installer's
  // temporary folder) leaves the search for libraries loaded by name.
  // The process's default search keeps the Path folders: SetDefaultDllDirectories
  // would drop them, and with them the folders where the application's own
  // native libraries find their dependencies (System Path, Library Path).
  // jvm.dll gets a search of its own (jvm/jvm_library_win.cpp).
  SetDllDirectoryW(L"");
}

void rememberProgramArguments(int, char**) {}

std::vector<std::wstring> processArguments() { return argumentsFromCommandLine(GetCommandLineW()); }

void useSystemDefaultLocale() { SetThreadLocale(GetSystemDefaultLCID()); }

void changeCurrentDirectory(const std::wstring& folder) { SetCurrentDirectoryW(folder.c_str()); }

}  // namespace tarn
