// Windows: starting the paired launcher with this process's command line.
#include <windows.h>

#include <vector>

#include "base/scoped_handle_win.h"
#include "run/sibling_relaunch.h"

namespace tarn {

bool startSibling(const std::wstring& sibling, bool wait, int32_t& exitCode, uint32_t& error) {
  // CreateProcessW may write into the command line it is given.
  const wchar_t* own = GetCommandLineW();
  std::vector<wchar_t> commandLine(own, own + wcslen(own) + 1);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION created{};
  if (!CreateProcessW(sibling.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &created)) {
    error = GetLastError();
    return false;
  }
  ScopedKernelHandle process(created.hProcess);
  ScopedKernelHandle thread(created.hThread);
  exitCode = 0;
  if (!wait) return true;
  WaitForSingleObject(process.get(), INFINITE);
  DWORD code = 0;
  if (GetExitCodeProcess(process.get(), &code)) exitCode = static_cast<int32_t>(code);
  return true;
}

}  // namespace tarn
