// instances.exe: runs several programs at once after a plan, for the
// scenarios in which processes of one executable meet (the single-instance
// guard). A shell under Wine cannot start them at the same moment nor see
// their full exit codes; this helper does both.
//
//   TARN_E2E_PLAN       the plan: UTF-8, one step per line (below)
//   TARN_E2E_EXITFILE   receives one line per result, in the order of the steps
//   TARN_E2E_SET_<NAME> sets NAME for the programs started (e.g.
//   TARN_TESTVM_LOG)
//
// Steps:
//   start <id> <command line>   starts a program (the command line's first
//   token) wait <id>                   "exit <id> <signed code>", or "timeout
//   <id>"
//                               after 60 s (the program is then ended)
//   running <id>                "running <id> yes" or "running <id> no"
//   await-log <n> <text>        until n lines of the file TARN_TESTVM_LOG hold
//                               the text; "await-log timed out" after 60 s
//                               ends the plan
//   touch <path>                creates an empty file
//   hold-mutex <name>           creates a mutex of that name, kept to the end
//   await-held <name>           until a program holds the mutex of that name;
//                               "await-held timed out" after 60 s ends the plan
//   own-mutex <name>            creates a mutex of that name owned by this
//                               user and holds it to the end
//   hold-mapping <name> <kind>  creates a guard block (a file mapping of 2092
//                               bytes) of that name, kept to the end; kind:
//                               zero (left zero-filled), foreign (names this
//                               program as its owner), other-owner (zero,
//                               owned by the Administrators group, open to all)
//   keep-mapping <name>         opens the mapping of that name, kept to the end
//   flood <name> <count>        posts the request message to the owner that
//                               the block of that name names, count times
//   await-taken <name>          until the block of that name holds arguments
//                               and no pending request: a first instance
//                               took them; "await-taken timed out" after 60 s
//   kill <id> <code>            ends the program with that exit code
//   sleep <ms>                  lets the programs run on
// Programs still running at the end are ended ("left <id>").
//
// Exit code: 0 the plan ran to its end, 2 no plan, 5 a step timed out.
#include <windows.h>
// After windows.h, whose types it uses.
#include <sddl.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "child_environment_win.h"

using tarn::e2e::prepareChildEnvironment;
using tarn::e2e::readVariable;

namespace {

const DWORD kStepLimitMs = 60000;
const DWORD kBlockSize = 2092;
const size_t kPendingOffset = 1064;  // magic and requester, 8 bytes

// A descriptor from its text form, with `owner` as its owner and access for
// everyone; LocalFree'd by the caller.
PSECURITY_DESCRIPTOR descriptorOwnedBy(const std::wstring& owner) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const std::wstring text = L"O:" + owner + L"D:(A;;GA;;;WD)";
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(text.c_str(), SDDL_REVISION_1, &descriptor, nullptr)) {
    return nullptr;
  }
  return descriptor;
}

std::wstring currentUserSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return L"";
  std::vector<uint8_t> buffer(512);
  DWORD size = 0;
  const bool read = GetTokenInformation(token, TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()), &size);
  CloseHandle(token);
  if (!read) return L"";
  wchar_t* text = nullptr;
  if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) return L"";
  std::wstring sid = text;
  LocalFree(text);
  return sid;
}

uint32_t get32(const uint8_t* at) {
  return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
         static_cast<uint32_t>(at[3]) << 24;
}

void put32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

std::wstring wide(const std::string& utf8) {
  if (utf8.empty()) return L"";
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &text[0], length);
  return text;
}

bool readFile(const std::wstring& path, std::string& data) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  data.clear();
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) data.append(buffer, read);
  CloseHandle(file);
  return true;
}

bool writeFile(const std::wstring& path, const std::string& text) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = text.empty() || WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == text.size();
}

size_t linesHolding(const std::string& log, const std::string& text) {
  size_t count = 0;
  std::istringstream lines(log);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.find(text) != std::string::npos) ++count;
  }
  return count;
}

// Splits off the first blank-separated word.
std::string nextWord(std::string& rest) {
  const size_t start = rest.find_first_not_of(' ');
  if (start == std::string::npos) {
    rest.clear();
    return "";
  }
  const size_t end = rest.find(' ', start);
  std::string word = rest.substr(start, end == std::string::npos ? std::string::npos : end - start);
  rest = end == std::string::npos ? "" : rest.substr(end + 1);
  return word;
}

class Plan {
 public:
  explicit Plan(std::wstring log) : log_(std::move(log)) {}

  ~Plan() {
    for (auto& program : programs_) CloseHandle(program.second);
    for (HANDLE mutex : kept_) CloseHandle(mutex);
  }

  // False when the plan must stop.
  bool step(std::string line) {
    const std::string command = nextWord(line);
    if (command == "start") {
      const std::string id = nextWord(line);
      start(id, wide(line));
    } else if (command == "wait") {
      wait(nextWord(line));
    } else if (command == "running") {
      const std::string id = nextWord(line);
      const bool running = programs_.count(id) != 0 && WaitForSingleObject(programs_[id], 0) == WAIT_TIMEOUT;
      results_ += "running " + id + (running ? " yes\n" : " no\n");
    } else if (command == "await-log") {
      const size_t count = std::stoul(nextWord(line));
      return awaitLog(count, line);
    } else if (command == "touch") {
      writeFile(wide(line), "");
    } else if (command == "await-held") {
      return awaitHeld(wide(line));
    } else if (command == "own-mutex") {
      ownMutex(wide(line));
    } else if (command == "hold-mapping") {
      const std::string name = nextWord(line);
      holdMapping(wide(name), nextWord(line));
    } else if (command == "keep-mapping") {
      HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, wide(line).c_str());
      if (mapping == nullptr) results_ += "keep-mapping failed " + std::to_string(GetLastError()) + "\n";
      kept_.push_back(mapping);
    } else if (command == "flood") {
      const std::string name = nextWord(line);
      flood(wide(name), std::stoul(nextWord(line)));
    } else if (command == "await-taken") {
      return awaitTaken(wide(line));
    } else if (command == "kill") {
      const std::string id = nextWord(line);
      const UINT code = static_cast<UINT>(std::stoul(nextWord(line)));
      if (programs_.count(id) != 0) TerminateProcess(programs_[id], code);
    } else if (command == "sleep") {
      Sleep(static_cast<DWORD>(std::stoul(nextWord(line))));
    } else if (command == "hold-mutex") {
      kept_.push_back(CreateMutexW(nullptr, FALSE, wide(line).c_str()));
    } else if (!command.empty()) {
      results_ += "unknown step " + command + "\n";
      return false;
    }
    return true;
  }

  // Ends what still runs.
  void finish() {
    for (auto& program : programs_) {
      if (WaitForSingleObject(program.second, 0) == WAIT_TIMEOUT) {
        TerminateProcess(program.second, 0xDEAD);
        WaitForSingleObject(program.second, 10000);
        results_ += "left " + program.first + "\n";
      }
    }
  }

  const std::string& results() const { return results_; }

 private:
  void start(const std::string& id, const std::wstring& commandLine) {
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
      results_ += "create failed " + id + " " + std::to_string(GetLastError()) + "\n";
      return;
    }
    CloseHandle(process.hThread);
    programs_[id] = process.hProcess;
  }

  void wait(const std::string& id) {
    auto found = programs_.find(id);
    if (found == programs_.end()) {
      results_ += "no program " + id + "\n";
      return;
    }
    if (WaitForSingleObject(found->second, kStepLimitMs) != WAIT_OBJECT_0) {
      TerminateProcess(found->second, 0xDEAD);
      WaitForSingleObject(found->second, 10000);
      results_ += "timeout " + id + "\n";
      return;
    }
    DWORD code = 0;
    GetExitCodeProcess(found->second, &code);
    results_ += "exit " + id + " " + std::to_string(static_cast<int32_t>(code)) + "\n";
  }

  bool awaitLog(size_t count, const std::string& text) {
    const ULONGLONG deadline = GetTickCount64() + kStepLimitMs;
    std::string log;
    while (GetTickCount64() < deadline) {
      if (readFile(log_, log) && linesHolding(log, text) >= count) return true;
      Sleep(20);
    }
    results_ += "await-log timed out: " + std::to_string(count) + " " + text + "\n";
    return false;
  }

  bool awaitHeld(const std::wstring& name) {
    const ULONGLONG deadline = GetTickCount64() + kStepLimitMs;
    while (GetTickCount64() < deadline) {
      HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, name.c_str());
      if (mutex != nullptr) {
        const DWORD state = WaitForSingleObject(mutex, 0);
        if (state == WAIT_OBJECT_0 || state == WAIT_ABANDONED) ReleaseMutex(mutex);
        CloseHandle(mutex);
        if (state == WAIT_TIMEOUT) return true;
      }
      Sleep(5);
    }
    results_ += "await-held timed out\n";
    return false;
  }

  void ownMutex(const std::wstring& name) {
    PSECURITY_DESCRIPTOR descriptor = descriptorOwnedBy(currentUserSid());
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
    HANDLE mutex = CreateMutexW(descriptor ? &attributes : nullptr, TRUE, name.c_str());
    if (descriptor != nullptr) LocalFree(descriptor);
    if (mutex == nullptr) results_ += "own-mutex failed " + std::to_string(GetLastError()) + "\n";
    kept_.push_back(mutex);
  }

  void holdMapping(const std::wstring& name, const std::string& kind) {
    PSECURITY_DESCRIPTOR descriptor = descriptorOwnedBy(kind == "other-owner" ? L"SY" : currentUserSid());
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, descriptor ? &attributes : nullptr, PAGE_READWRITE, 0,
                                        kBlockSize, name.c_str());
    if (descriptor != nullptr) LocalFree(descriptor);
    if (mapping == nullptr) {
      results_ += "hold-mapping failed " + std::to_string(GetLastError()) + "\n";
      return;
    }
    kept_.push_back(mapping);
    if (kind != "foreign") return;
    auto* block = static_cast<uint8_t*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    if (block == nullptr) return;
    // A queue for the requests that may come.
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    put32(block, GetCurrentThreadId());
    put32(block + 4, GetCurrentProcessId());
    put32(block + 8, RegisterWindowMessageW(name.c_str()));
    UnmapViewOfFile(block);
  }

  void flood(const std::wstring& name, unsigned long count) {
    HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, name.c_str());
    const uint8_t* block =
        mapping ? static_cast<const uint8_t*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0)) : nullptr;
    if (block == nullptr) {
      results_ += "flood failed " + std::to_string(GetLastError()) + "\n";
      if (mapping) CloseHandle(mapping);
      return;
    }
    const DWORD listener = get32(block);
    const UINT request = get32(block + 8);
    unsigned long posted = 0;
    for (unsigned long i = 0; i < count; ++i) {
      if (PostThreadMessageW(listener, request, GetCurrentThreadId(), 0)) ++posted;
    }
    results_ += "posted " + std::to_string(posted) + "\n";
    UnmapViewOfFile(block);
    CloseHandle(mapping);
  }

  bool awaitTaken(const std::wstring& name) {
    const ULONGLONG deadline = GetTickCount64() + kStepLimitMs;
    while (GetTickCount64() < deadline) {
      HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, name.c_str());
      if (mapping != nullptr) {
        const auto* block = static_cast<const uint8_t*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
        bool taken = false;
        if (block != nullptr) {
          taken = get32(block + 12) != 0 && get32(block + kPendingOffset) == 0;
          UnmapViewOfFile(block);
        }
        CloseHandle(mapping);
        if (taken) return true;
      }
      Sleep(5);
    }
    results_ += "await-taken timed out\n";
    return false;
  }

  std::wstring log_;
  std::map<std::string, HANDLE> programs_;
  std::vector<HANDLE> kept_;
  std::string results_;
};

}  // namespace

int main() {
  std::wstring planFile;
  std::wstring resultFile;
  if (!readVariable(L"TARN_E2E_PLAN", planFile) || !readVariable(L"TARN_E2E_EXITFILE", resultFile)) {
    std::fprintf(stderr, "instances: TARN_E2E_PLAN and TARN_E2E_EXITFILE must be set\n");
    return 2;
  }
  std::string planText;
  if (!readFile(planFile, planText)) {
    std::fprintf(stderr, "instances: cannot read the plan\n");
    return 2;
  }
  prepareChildEnvironment();
  std::wstring log;
  readVariable(L"TARN_TESTVM_LOG", log);

  Plan plan(log);
  bool completed = true;
  std::istringstream lines(planText);
  std::string line;
  while (completed && std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    completed = plan.step(line);
  }
  plan.finish();
  writeFile(resultFile, plan.results());
  return completed ? 0 : 5;
}
