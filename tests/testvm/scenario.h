#pragma once
// What the test VM's little Java world looks like in one test: read once from
// the file named by TARN_TESTVM_SCENARIO (format: tests/testvm/README.md).

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tarn::testvm {

struct Action {
  enum class Kind { PrintOut, PrintErr, Thread, Throw, Exit, Wait, Signal, Handles, WaitFile, Return, ExitOnce };
  Kind kind;
  std::string text;       // the line printed; the exception's message; Wait, Signal: the event; WaitFile, ExitOnce: the path
  std::string className;  // Throw: the exception class (slash form)
  int64_t number = 0;     // Exit, ExitOnce: the code; Thread: milliseconds; Return: the result
};

struct ScriptedMethod {
  std::string className;
  std::string name;
  std::string signature;
  std::vector<Action> actions;
};

struct Scenario {
  std::vector<std::string> classes;  // application classes, slash form
  std::vector<ScriptedMethod> methods;   // their static methods
  bool launcherHelper = true;
  // module name -> the main class its descriptor names (dotted); a module
  // not listed names none.
  std::map<std::string, std::string> moduleMainClasses;
  // checkAndLoadMain on a class that cannot be used: exits the VM with 1 after
  // its own message (true, as the JDK does) or returns null (false).
  bool helperExits = true;
  // What every JAR holds for java.util.jar.JarFile: "damaged" (the default:
  // opening throws ZipException), "no-manifest", "no-main-class", or the
  // manifest's Main-Class (dotted).
  std::string jarManifest = "damaged";
  bool hasCreateResult = false;
  int32_t createResult = 0;
  bool rejectUnknownOptions = false;
  int32_t rejectResult = -1;
  std::vector<std::u16string> failOpen;  // name patterns, * and ?, any case
  std::vector<std::u16string> failString;
  bool lookupThrows = true;
  int32_t defaultStackSize = 0;
  int32_t createDelayMs = 0;
  std::string createWaitsFor;  // a file JNI_CreateJavaVM waits for; empty: none
  bool createCrashes = false;   // JNI_CreateJavaVM writes through a null pointer
  bool destroyLogsHandles = false;  // DestroyJavaVM logs the open handles before it returns
};

// Loaded on first use; a file that cannot be read or parsed ends the process
// with kBadScenario. Without TARN_TESTVM_SCENARIO the world has no
// application classes and every other setting keeps its default.
const Scenario& scenario();

}  // namespace tarn::testvm
