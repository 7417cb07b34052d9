// exitcode.exe: starts one program with a command line given exactly and
// reports the program's full 32-bit exit code. A shell under Wine sees only
// the low 8 bits of an exit code; this helper writes all of them to a file.
//
// Everything comes from the environment, so the runner controls every
// character of the child's command line, program token and quotes included:
//   TARN_E2E_APP          application name for CreateProcessW
//   TARN_E2E_CMDLINE      the child's raw command line
//   TARN_E2E_EXITFILE     receives "exit code: <signed decimal>\n"
//   TARN_E2E_TIMEOUT_MS   optional; default 120000
//   TARN_E2E_SET_<NAME>   sets NAME in the child's environment (e.g. APPDATA)
//   TARN_E2E_UNSET_<NAME> removes NAME from the child's environment
//   TARN_E2E_WINSTATION   optional; the child starts on the desktop of a new
//                         window station of that name, which no one sees
// Every TARN_E2E_* variable is removed before the child starts. The child
// inherits standard input, output and error.
//
// The helper's own exit code: 0 the child ran and its code is in the file,
// 2 a variable is missing, 3 the child could not be started ("create failed:
// <error>" in the file), 4 the child outlived the time-out and was terminated
// ("timed out" in the file).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "child_environment_win.h"

using tarn::e2e::prepareChildEnvironment;
using tarn::e2e::readVariable;

namespace {

const DWORD kDefaultTimeoutMs = 120000;

bool writeReport(const std::wstring& path, const std::string& text) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == text.size();
}

}  // namespace

int main() {
  std::wstring application;
  std::wstring commandLine;
  std::wstring exitFile;
  if (!readVariable(L"TARN_E2E_APP", application) || !readVariable(L"TARN_E2E_CMDLINE", commandLine) ||
      !readVariable(L"TARN_E2E_EXITFILE", exitFile)) {
    std::fprintf(stderr, "exitcode: TARN_E2E_APP, TARN_E2E_CMDLINE and TARN_E2E_EXITFILE must be set\n");
    return 2;
  }
  DWORD timeoutMs = kDefaultTimeoutMs;
  std::wstring timeoutText;
  if (readVariable(L"TARN_E2E_TIMEOUT_MS", timeoutText) && !timeoutText.empty()) {
    timeoutMs = static_cast<DWORD>(wcstoul(timeoutText.c_str(), nullptr, 10));
  }
  prepareChildEnvironment();

  // CreateProcessW may write into the command-line buffer.
  std::vector<wchar_t> mutableCommandLine(commandLine.begin(), commandLine.end());
  mutableCommandLine.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  std::wstring station;
  std::wstring desktopName;
  if (readVariable(L"TARN_E2E_WINSTATION", station) && !station.empty()) {
    HWINSTA created = CreateWindowStationW(station.c_str(), 0, WINSTA_ALL_ACCESS, nullptr);
    HWINSTA own = GetProcessWindowStation();
    if (created != nullptr && SetProcessWindowStation(created)) {
      CreateDesktopW(L"Default", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
      SetProcessWindowStation(own);
    }
    desktopName = station + L"\\Default";
    if (created == nullptr) std::fprintf(stderr, "exitcode: no window station: %lu\n", GetLastError());
    startup.lpDesktop = desktopName.data();
  }
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(application.c_str(), mutableCommandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &process)) {
    DWORD error = GetLastError();
    writeReport(exitFile, "create failed: " + std::to_string(error) + "\n");
    return 3;
  }
  CloseHandle(process.hThread);

  if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 0xDEAD);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hProcess);
    writeReport(exitFile, "timed out\n");
    return 4;
  }
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  if (!writeReport(exitFile, "exit code: " + std::to_string(static_cast<int32_t>(code)) + "\n")) {
    std::fprintf(stderr, "exitcode: cannot write the exit file\n");
    return 2;
  }
  return 0;
}
