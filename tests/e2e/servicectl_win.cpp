// servicectl.exe: drives one installed service through the service control
// manager and prints what it saw, one line per step, for the service
// scenarios of run_windows.
//
// Under Wine a service process lives only as long as some ordinary process
// does: when the last one ends, the prefix shuts its system processes down
// and the service with them. So a whole scenario (start, stop, waits,
// queries) runs inside this one process, and separate `sc start` / `sc stop`
// calls are no substitute.
//
//   servicectl.exe [--log <file>] <service name> <step>...
//   servicectl.exe --hold <ms>     only waits: keeps the prefix's system
//                                  processes up while `sc` calls come and go
//
// Steps, done in order; each prints one line:
//   start[:<arg>...]      StartServiceW with the arguments (":" separated)
//                         -> "start ok" / "start failed <error>"
//   stop                  ControlService(STOP) -> "stop ok" / "stop failed <error>"
//   interrogate           ControlService(INTERROGATE) -> "interrogate ok" / "... failed <error>"
//   wait:<state>[:<ms>]   polls until the state is running, stopped or
//                         stop-pending (default 60000 ms)
//                         -> "wait <state> ok" / "wait <state> timed out in <state>"
//   query                 -> "status state=<state> win32=<n> specific=<n>
//                            checkpoint=<n> waithint=<n> accepted=<n>"
//   pid                   remembers the service's process (while it runs)
//                         -> "pid ok" / "pid none"
//   handles               -> "handles <n>": the remembered process's handle count
//   kill                  ends the remembered process -> "kill ok" / "kill failed <error>"
//   gone[:<ms>]           waits for the remembered process to end (default
//                         60000 ms) -> "gone exit=<n>" / "gone timed out"
//   sleep:<ms>            waits, prints "sleep"
//   touch:<path>          creates the file (a gate the service's VM waits
//                         for) -> "touch ok" / "touch failed <error>"
//   wait-log:<text>       waits until a line of the --log file holds the text
//                         (at most 60000 ms) -> "wait-log ok" / "wait-log timed out"
//   cycles:<n>[:<text>]   n times: start, wait running, (with a text: wait
//                         until the --log file holds it once more), stop,
//                         wait stopped, wait for the process to end;
//                         -> "cycles <n>: stopped <k>, left <k>, handles <first> <last>,
//                             manager handles <first> <last>"
//                         (left: processes still running afterwards;
//                         handles: this program's own count after the first
//                         and after the last cycle; manager handles: the same
//                         of the service manager's process, services.exe, or
//                         "none" when it cannot be read)
// Exit status 0 when every step was carried out (its outcome is in the
// output), 2 on a usage error.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/open_handles_win.h"

namespace {

struct ServiceHandle {
  SC_HANDLE handle = nullptr;
  ~ServiceHandle() {
    if (handle != nullptr) CloseServiceHandle(handle);
  }
};

struct KernelHandle {
  HANDLE handle = nullptr;
  ~KernelHandle() { reset(); }
  void reset(HANDLE value = nullptr) {
    if (handle != nullptr) CloseHandle(handle);
    handle = value;
  }
};

std::vector<std::wstring> split(const std::wstring& text) {
  std::vector<std::wstring> parts;
  size_t start = 0;
  for (;;) {
    size_t colon = text.find(L':', start);
    parts.push_back(text.substr(start, colon - start));
    if (colon == std::wstring::npos) return parts;
    start = colon + 1;
  }
}

const char* stateName(DWORD state) {
  switch (state) {
    case SERVICE_STOPPED: return "stopped";
    case SERVICE_START_PENDING: return "start-pending";
    case SERVICE_STOP_PENDING: return "stop-pending";
    case SERVICE_RUNNING: return "running";
    case SERVICE_CONTINUE_PENDING: return "continue-pending";
    case SERVICE_PAUSE_PENDING: return "pause-pending";
    case SERVICE_PAUSED: return "paused";
    default: return "unknown";
  }
}

DWORD stateValue(const std::wstring& name) {
  if (name == L"running") return SERVICE_RUNNING;
  if (name == L"stopped") return SERVICE_STOPPED;
  if (name == L"stop-pending") return SERVICE_STOP_PENDING;
  return 0;
}

bool query(SC_HANDLE service, SERVICE_STATUS_PROCESS& status) {
  DWORD needed = 0;
  return QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof status,
                              &needed) != FALSE;
}

void line(const std::string& text) {
  std::printf("%s\n", text.c_str());
  std::fflush(stdout);
}

std::string narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

bool start(SC_HANDLE service, const std::vector<std::wstring>& parts, DWORD& error) {
  std::vector<const wchar_t*> arguments;
  for (size_t i = 1; i < parts.size(); ++i) arguments.push_back(parts[i].c_str());
  if (StartServiceW(service, static_cast<DWORD>(arguments.size()), arguments.empty() ? nullptr : arguments.data())) {
    return true;
  }
  error = GetLastError();
  return false;
}

bool waitFor(SC_HANDLE service, DWORD wanted, DWORD timeoutMs, DWORD& last) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    SERVICE_STATUS_PROCESS status{};
    if (query(service, status)) {
      last = status.dwCurrentState;
      if (last == wanted) return true;
    }
    if (GetTickCount64() >= deadline) return false;
    Sleep(20);
  }
}

HANDLE openServiceProcess(SC_HANDLE service) {
  SERVICE_STATUS_PROCESS status{};
  if (!query(service, status) || status.dwProcessId == 0) return nullptr;
  return OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, status.dwProcessId);
}

size_t countInFile(const std::wstring& path, const std::string& text) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  std::string content;
  char buffer[4096];
  DWORD count = 0;
  while (ReadFile(file, buffer, sizeof buffer, &count, nullptr) && count > 0) content.append(buffer, count);
  CloseHandle(file);
  size_t found = 0;
  for (size_t at = content.find(text); at != std::string::npos; at = content.find(text, at + text.size())) ++found;
  return found;
}

bool waitForText(const std::wstring& path, const std::string& text, size_t times) {
  const ULONGLONG deadline = GetTickCount64() + 60000;
  for (;;) {
    if (countInFile(path, text) >= times) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(20);
  }
}

// Counted by asking about each handle value: Wine's GetProcessHandleCount
// answers 0.
DWORD ownHandleCount() { return static_cast<DWORD>(tarn::test::openHandles().size()); }

// The same in another process, by duplicating each of its handle values.
DWORD handleCountOf(HANDLE process) {
  DWORD count = 0;
  for (uintptr_t value = 4; value < 0x10000; value += 4) {
    HANDLE copy = nullptr;
    if (DuplicateHandle(process, reinterpret_cast<HANDLE>(value), GetCurrentProcess(), &copy, 0, FALSE,
                        DUPLICATE_SAME_ACCESS)) {
      CloseHandle(copy);
      ++count;
    }
  }
  return count;
}

// The service manager's process, for its handle count; null when not found.
HANDLE openManagerProcess() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return nullptr;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  DWORD id = 0;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (_wcsicmp(entry.szExeFile, L"services.exe") == 0) {
      id = entry.th32ProcessID;
      break;
    }
  }
  CloseHandle(snapshot);
  return id != 0 ? OpenProcess(PROCESS_DUP_HANDLE, FALSE, id) : nullptr;
}

void cycles(SC_HANDLE service, const std::vector<std::wstring>& parts, const std::wstring& logFile) {
  const int count = parts.size() > 1 ? _wtoi(parts[1].c_str()) : 1;
  const std::string text = parts.size() > 2 ? narrow(parts[2]) : std::string();
  const std::vector<std::wstring> startParts(1);
  int stopped = 0;
  int left = 0;
  DWORD firstHandles = 0;
  DWORD lastHandles = 0;
  KernelHandle manager;
  manager.reset(openManagerProcess());
  DWORD firstManagerHandles = 0;
  DWORD lastManagerHandles = 0;
  bool managerCounted = manager.handle != nullptr;
  for (int i = 0; i < count; ++i) {
    DWORD error = 0;
    DWORD last = 0;
    if (!start(service, startParts, error)) {
      line("cycle " + std::to_string(i) + ": start failed " + std::to_string(error));
      continue;
    }
    if (!waitFor(service, SERVICE_RUNNING, 60000, last)) {
      line("cycle " + std::to_string(i) + ": not running, " + stateName(last));
    }
    if (!text.empty() && !waitForText(logFile, text, static_cast<size_t>(i) + 1)) {
      line("cycle " + std::to_string(i) + ": the log never showed " + text);
    }
    KernelHandle process;
    process.reset(openServiceProcess(service));
    SERVICE_STATUS status{};
    if (!ControlService(service, SERVICE_CONTROL_STOP, &status)) {
      line("cycle " + std::to_string(i) + ": stop failed " + std::to_string(GetLastError()));
    }
    if (waitFor(service, SERVICE_STOPPED, 60000, last)) {
      ++stopped;
    } else {
      line("cycle " + std::to_string(i) + ": not stopped, " + stateName(last));
    }
    if (process.handle != nullptr && WaitForSingleObject(process.handle, 60000) != WAIT_OBJECT_0) ++left;
    process.reset();
    // Counted after the first cycle and after the last only: the manager's
    // count takes a while.
    if (i != 0 && i != count - 1) continue;
    const DWORD handles = ownHandleCount();
    (i == 0 ? firstHandles : lastHandles) = handles;
    const DWORD managerHandles = managerCounted ? handleCountOf(manager.handle) : 0;
    if (managerHandles == 0) managerCounted = false;
    (i == 0 ? firstManagerHandles : lastManagerHandles) = managerHandles;
  }
  if (count == 1) {
    lastHandles = firstHandles;
    lastManagerHandles = firstManagerHandles;
  }
  line("cycles " + std::to_string(count) + ": stopped " + std::to_string(stopped) + ", left " + std::to_string(left) +
       ", handles " + std::to_string(firstHandles) + " " + std::to_string(lastHandles) + ", manager handles " +
       (managerCounted ? std::to_string(firstManagerHandles) + " " + std::to_string(lastManagerHandles) : "none"));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wstring(argv[1]) == L"--hold") {
    Sleep(static_cast<DWORD>(_wtoi(argv[2])));
    return 0;
  }
  std::wstring logFile;
  if (argc > 2 && std::wstring(argv[1]) == L"--log") {
    logFile = argv[2];
    argv += 2;
    argc -= 2;
  }
  if (argc < 3) {
    std::fprintf(stderr, "usage: servicectl [--log <file>] <service name> <step>...\n");
    return 2;
  }
  ServiceHandle manager;
  manager.handle = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
  if (manager.handle == nullptr) {
    line("open manager failed " + std::to_string(GetLastError()));
    return 0;
  }
  ServiceHandle service;
  service.handle = OpenServiceW(manager.handle, argv[1], SERVICE_ALL_ACCESS);
  if (service.handle == nullptr) {
    line("open service failed " + std::to_string(GetLastError()));
    return 0;
  }
  KernelHandle process;
  for (int i = 2; i < argc; ++i) {
    const std::vector<std::wstring> parts = split(argv[i]);
    const std::wstring& step = parts[0];
    DWORD error = 0;
    if (step == L"start") {
      line(start(service.handle, parts, error) ? "start ok" : "start failed " + std::to_string(error));
    } else if (step == L"stop" || step == L"interrogate") {
      SERVICE_STATUS status{};
      const DWORD control = step == L"stop" ? SERVICE_CONTROL_STOP : SERVICE_CONTROL_INTERROGATE;
      const bool ok = ControlService(service.handle, control, &status) != FALSE;
      line(narrow(step) + (ok ? " ok" : " failed " + std::to_string(GetLastError())));
    } else if (step == L"wait") {
      const DWORD wanted = parts.size() > 1 ? stateValue(parts[1]) : 0;
      if (wanted == 0) {
        std::fprintf(stderr, "servicectl: wait needs running, stopped or stop-pending\n");
        return 2;
      }
      const DWORD timeout = parts.size() > 2 ? static_cast<DWORD>(_wtoi(parts[2].c_str())) : 60000;
      DWORD last = 0;
      const bool reached = waitFor(service.handle, wanted, timeout, last);
      line("wait " + narrow(parts[1]) + (reached ? " ok" : std::string(" timed out in ") + stateName(last)));
    } else if (step == L"query") {
      SERVICE_STATUS_PROCESS status{};
      if (!query(service.handle, status)) {
        line("query failed " + std::to_string(GetLastError()));
        continue;
      }
      line(std::string("status state=") + stateName(status.dwCurrentState) +
           " win32=" + std::to_string(status.dwWin32ExitCode) +
           " specific=" + std::to_string(status.dwServiceSpecificExitCode) +
           " checkpoint=" + std::to_string(status.dwCheckPoint) + " waithint=" + std::to_string(status.dwWaitHint) +
           " accepted=" + std::to_string(status.dwControlsAccepted));
    } else if (step == L"pid") {
      process.reset(openServiceProcess(service.handle));
      line(process.handle != nullptr ? "pid ok" : "pid none");
    } else if (step == L"handles") {
      DWORD count = 0;
      GetProcessHandleCount(process.handle, &count);
      line("handles " + std::to_string(count));
    } else if (step == L"kill") {
      const bool ok = process.handle != nullptr && TerminateProcess(process.handle, 1);
      line(ok ? "kill ok" : "kill failed " + std::to_string(GetLastError()));
      if (ok) WaitForSingleObject(process.handle, 10000);
    } else if (step == L"gone") {
      const DWORD timeout = parts.size() > 1 ? static_cast<DWORD>(_wtoi(parts[1].c_str())) : 60000;
      DWORD code = 0;
      if (process.handle == nullptr || WaitForSingleObject(process.handle, timeout) != WAIT_OBJECT_0) {
        line("gone timed out");
      } else {
        GetExitCodeProcess(process.handle, &code);
        line("gone exit=" + std::to_string(static_cast<int>(code)));
      }
    } else if (step == L"sleep") {
      Sleep(parts.size() > 1 ? static_cast<DWORD>(_wtoi(parts[1].c_str())) : 0);
      line("sleep");
    } else if (step == L"touch") {
      const std::wstring path = std::wstring(argv[i]).substr(wcslen(L"touch:"));
      HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file == INVALID_HANDLE_VALUE) {
        line("touch failed " + std::to_string(GetLastError()));
      } else {
        CloseHandle(file);
        line("touch ok");
      }
    } else if (step == L"wait-log") {
      const std::string text = narrow(std::wstring(argv[i]).substr(wcslen(L"wait-log:")));
      line(waitForText(logFile, text, 1) ? "wait-log ok" : "wait-log timed out");
    } else if (step == L"cycles") {
      cycles(service.handle, parts, logFile);
    } else {
      std::fprintf(stderr, "servicectl: unknown step %ls\n", step.c_str());
      return 2;
    }
  }
  return 0;
}
