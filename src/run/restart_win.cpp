// Windows: the restart is a new process with this one's command line; this
// one waits for it, Ctrl+C left to the new one, and ends with its exit code.
#include <windows.h>

#include <string>
#include <vector>

#include "base/scoped_handle_win.h"
#include "run/restart.h"

namespace tarn {
namespace {

struct StartState {
  std::wstring folder;
  std::vector<std::wstring> environment;
};

StartState& startState() {
  static StartState state;
  return state;
}

// The console's Ctrl+C and Ctrl+Break reach both processes: the new one
// answers them, this one only waits for it to end.
BOOL WINAPI leaveToNewProcess(DWORD) { return TRUE; }

}  // namespace

void keepArgumentVector(char**) {}

void keepStartState() {
  StartState& state = startState();
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  std::vector<wchar_t> folder(size + 1);
  const DWORD written = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
  state.folder = written > 0 && written < folder.size() ? std::wstring(folder.data(), written) : std::wstring();
  state.environment.clear();
  wchar_t* block = GetEnvironmentStringsW();
  if (block == nullptr) return;
  for (const wchar_t* variable = block; *variable != L'\0'; variable += wcslen(variable) + 1) {
    state.environment.emplace_back(variable);
  }
  FreeEnvironmentStringsW(block);
}

bool startAgain(const std::wstring& executable, const std::wstring& mark, int32_t& exitCode, uint32_t& error) {
  StartState& state = startState();
  std::vector<wchar_t> environment;
  for (const std::wstring& variable : state.environment) {
    environment.insert(environment.end(), variable.begin(), variable.end());
    environment.push_back(L'\0');
  }
  environment.insert(environment.end(), mark.begin(), mark.end());
  environment.push_back(L'\0');
  environment.push_back(L'\0');
  // CreateProcessW may write into the command line it is given.
  const wchar_t* own = GetCommandLineW();
  std::vector<wchar_t> commandLine(own, own + wcslen(own) + 1);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION created{};
  SetConsoleCtrlHandler(leaveToNewProcess, TRUE);
  if (!CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                      environment.data(), state.folder.empty() ? nullptr : state.folder.c_str(), &startup,
                      &created)) {
    error = GetLastError();
    SetConsoleCtrlHandler(leaveToNewProcess, FALSE);
    return false;
  }
  ScopedKernelHandle process(created.hProcess);
  ScopedKernelHandle thread(created.hThread);
  WaitForSingleObject(process.get(), INFINITE);
  DWORD code = 0;
  exitCode = GetExitCodeProcess(process.get(), &code) ? static_cast<int32_t>(code) : -1;
  return true;
}

void endProcess(int32_t exitCode) { ExitProcess(static_cast<UINT>(exitCode)); }

}  // namespace tarn
