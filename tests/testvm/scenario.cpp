#include "scenario.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "vm_log.h"

namespace tarn::testvm {

namespace {

std::string readFile(const std::wstring& path, bool& ok) {
  ok = false;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";
  std::string data;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) data.append(buffer, read);
  CloseHandle(file);
  ok = true;
  return data;
}

// Splits off the first blank-separated word of `rest`.
std::string nextWord(std::string& rest) {
  size_t start = rest.find_first_not_of(' ');
  if (start == std::string::npos) {
    rest.clear();
    return "";
  }
  size_t end = rest.find(' ', start);
  std::string word = rest.substr(start, end == std::string::npos ? std::string::npos : end - start);
  rest = end == std::string::npos ? "" : rest.substr(end + 1);
  return word;
}

bool parseNumber(const std::string& text, int64_t& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtoll(text.c_str(), &end, 0);
  return *end == '\0';
}

bool parseYesNo(const std::string& text, bool& value) {
  if (text == "yes") value = true;
  else if (text == "no") value = false;
  else return false;
  return true;
}

class Parser {
 public:
  explicit Parser(Scenario& scenario) : scenario_(scenario) {}

  void parse(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
      ++lineNumber_;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      size_t first = line.find_first_not_of(' ');
      if (first == std::string::npos || line[first] == '#') continue;
      std::string rest = line.substr(first);
      std::string directive = nextWord(rest);
      parseLine(directive, rest);
    }
  }

 private:
  [[noreturn]] void bad(const std::string& why) {
    fail(kBadScenario, "scenario line " + std::to_string(lineNumber_) + ": " + why);
  }

  void parseLine(const std::string& directive, std::string rest) {
    if (directive == "class") {
      addClass(nextWord(rest));
    } else if (directive == "method") {
      ScriptedMethod method;
      method.className = nextWord(rest);
      method.name = nextWord(rest);
      method.signature = nextWord(rest);
      if (method.signature.empty()) bad("method needs a class, a name and a signature");
      addClass(method.className);
      scenario_.methods.push_back(method);
    } else if (directive == "do") {
      std::string className = nextWord(rest);
      std::string name = nextWord(rest);
      auto method = std::find_if(scenario_.methods.begin(), scenario_.methods.end(), [&](const ScriptedMethod& m) {
        return m.className == className && m.name == name;
      });
      if (method == scenario_.methods.end()) bad("no method " + className + " " + name + " declared before");
      method->actions.push_back(parseAction(rest));
    } else if (directive == "launcher-helper") {
      if (!parseYesNo(nextWord(rest), scenario_.launcherHelper)) bad("launcher-helper takes yes or no");
    } else if (directive == "module-main") {
      std::string module = nextWord(rest);
      std::string mainClass = nextWord(rest);
      if (mainClass.empty()) bad("module-main needs a module and a class");
      scenario_.moduleMainClasses[module] = mainClass;
    } else if (directive == "helper-exits") {
      if (!parseYesNo(nextWord(rest), scenario_.helperExits)) bad("helper-exits takes yes or no");
    } else if (directive == "jar-manifest") {
      scenario_.jarManifest = nextWord(rest);
      if (scenario_.jarManifest.empty()) bad("jar-manifest needs a Main-Class, no-manifest, no-main-class or damaged");
    } else if (directive == "create-result") {
      scenario_.hasCreateResult = true;
      scenario_.createResult = static_cast<int32_t>(number(nextWord(rest)));
    } else if (directive == "reject-unknown-options") {
      scenario_.rejectUnknownOptions = true;
      std::string code = nextWord(rest);
      if (!code.empty()) scenario_.rejectResult = static_cast<int32_t>(number(code));
    } else if (directive == "fail-open") {
      if (rest.empty()) bad("fail-open needs a name pattern");
      scenario_.failOpen.push_back(utf16(rest));
    } else if (directive == "fail-string") {
      scenario_.failString.push_back(utf16(rest));
    } else if (directive == "lookup-throws") {
      if (!parseYesNo(nextWord(rest), scenario_.lookupThrows)) bad("lookup-throws takes yes or no");
    } else if (directive == "create-delay") {
      scenario_.createDelayMs = static_cast<int32_t>(number(nextWord(rest)));
    } else if (directive == "create-waits-for") {
      if (rest.empty()) bad("create-waits-for needs a path");
      scenario_.createWaitsFor = rest;
    } else if (directive == "create-crashes") {
      scenario_.createCrashes = true;
    } else if (directive == "destroy-logs-handles") {
      scenario_.destroyLogsHandles = true;
    } else if (directive == "default-stack-size") {
      scenario_.defaultStackSize = static_cast<int32_t>(number(nextWord(rest)));
    } else {
      bad("unknown directive '" + directive + "'");
    }
  }

  Action parseAction(std::string rest) {
    Action action;
    std::string kind = nextWord(rest);
    if (kind == "print") {
      std::string stream = nextWord(rest);
      if (stream == "out") action.kind = Action::Kind::PrintOut;
      else if (stream == "err") action.kind = Action::Kind::PrintErr;
      else bad("print takes out or err");
      action.text = rest;
    } else if (kind == "thread") {
      action.kind = Action::Kind::Thread;
      action.number = number(nextWord(rest));
      action.text = rest;
    } else if (kind == "throw") {
      action.kind = Action::Kind::Throw;
      action.className = nextWord(rest);
      if (action.className.empty()) bad("throw needs an exception class");
      action.text = rest;
    } else if (kind == "wait-file") {
      action.kind = Action::Kind::WaitFile;
      action.text = rest;
      if (action.text.empty()) bad("wait-file needs a path");
    } else if (kind == "return") {
      action.kind = Action::Kind::Return;
      action.number = number(nextWord(rest));
    } else if (kind == "exit") {
      action.kind = Action::Kind::Exit;
      action.number = number(nextWord(rest));
    } else if (kind == "exit-once") {
      action.kind = Action::Kind::ExitOnce;
      action.number = number(nextWord(rest));
      action.text = rest;
      if (action.text.empty()) bad("exit-once needs a path");
    } else if (kind == "wait" || kind == "signal") {
      action.kind = kind == "wait" ? Action::Kind::Wait : Action::Kind::Signal;
      action.text = nextWord(rest);
      if (action.text.empty()) bad(kind + " needs an event name");
    } else if (kind == "handles") {
      action.kind = Action::Kind::Handles;
    } else {
      bad("unknown action '" + kind + "'");
    }
    return action;
  }

  int64_t number(const std::string& text) {
    int64_t value = 0;
    if (!parseNumber(text, value)) bad("'" + text + "' is not a number");
    return value;
  }

  void addClass(const std::string& name) {
    if (name.empty()) bad("a class name is missing");
    if (std::find(scenario_.classes.begin(), scenario_.classes.end(), name) == scenario_.classes.end()) {
      scenario_.classes.push_back(name);
    }
  }

  Scenario& scenario_;
  int lineNumber_ = 0;
};

Scenario load() {
  Scenario loaded;
  std::wstring path;
  if (!testSetting(L"TARN_TESTVM_SCENARIO", path) || path.empty()) return loaded;
  bool ok = false;
  std::string text = readFile(path, ok);
  if (!ok) fail(kBadScenario, "cannot read the scenario " + escapeWide(path));
  Parser(loaded).parse(text);
  return loaded;
}

}  // namespace

const Scenario& scenario() {
  // Loaded under the VM's lock (every entry point holds it) or from the
  // single thread that calls JNI_GetDefaultJavaVMInitArgs first.
  static const Scenario loaded = load();
  return loaded;
}

}  // namespace tarn::testvm
