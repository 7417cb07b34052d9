// Windows: hands the whole start to the sibling launcher of the other
// processor width, which receives this process's own command line.
#include <windows.h>

#include <vector>

#include "base/scoped_handle_win.h"
#include "run/sibling_relaunch.h"

namespace tarn {

int32_t relaunchSibling(const std::wstring& pairProduct, bool pairReturnCode) {
  // CreateProcessW may write into the command line it is given.
  const wchar_t* own = GetCommandLineW();
  std::vector<wchar_t> commandLine(own, own + wcslen(own) + 1);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION created{};
  // A sibling that cannot be started leaves both handles null: the start
  // then ends with 0, as the unread exit code below does.
  CreateProcessW(pairProduct.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                 &created);
  ScopedKernelHandle process(created.hProcess);
  ScopedKernelHandle thread(created.hThread);
  if (!pairReturnCode || !process) return 0;
  WaitForSingleObject(process.get(), INFINITE);
  DWORD exitCode = 0;
  if (!GetExitCodeProcess(process.get(), &exitCode)) exitCode = 0;
  return static_cast<int32_t>(exitCode);
}

}  // namespace tarn
