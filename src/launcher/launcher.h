#pragma once
// The one central object of the process: every setting, the chosen runtime,
// the arguments for the Java main method, the VM handles and the state of the
// single-instance guard. Its operations are defined in the folder of the
// subsystem that owns them (readSettings in config/, and so on).

#include <jni.h>

#include <cstdint>
#include <string>
#include <vector>

#include "discovery/java_version.h"
#include "jvm/jvm_hook_listener.h"
#include "jvm/jvm_option_list.h"

namespace tarn {

struct SingleInstanceBlock;

using CreateJavaVmFunction = jint(JNICALL*)(JavaVM**, void**, void*);
using DefaultInitArgsFunction = jint(JNICALL*)(void*);
using FindClassFromBootLoaderFunction = jclass(JNICALL*)(JNIEnv*, const char*);

class Launcher {
 public:
  Launcher();
  ~Launcher();
  Launcher(const Launcher&) = delete;
  Launcher& operator=(const Launcher&) = delete;

  // The process's one Launcher, for callbacks that receive no context.
  static Launcher* current();

  // Start-up up to and including the choice of a Java runtime; false ends
  // the process with -1.
  bool initialize();
  // The run flow; its result is the process exit code.
  int32_t run();
  void setWorkingDirectory();

  // Command line (launcher/command_line.cpp).
  void parseCommandLine();

  // Paths and configuration files (config/launcher_paths.cpp).
  bool modulePath(std::wstring& out);
  bool moduleFolder(std::wstring& out);
  bool configFilePath(std::wstring& out);
  void userConfigPathFor(const std::wstring& executablePath, std::wstring& out, bool createFolders);
  void userConfigFilePath(std::wstring& out, bool createFolders);
  bool pairConfigFilePath(std::wstring& out);
  void pairUserConfigFilePath(std::wstring& out);

  // Settings (config/settings.cpp).
  bool readSettings();

  // Choice of a Java runtime (launcher/runtime_choice.cpp).
  bool chooseJavaRuntime();
  // Java home layout (discovery/java_home.cpp).
  bool findPrivateRuntime(std::wstring& home);
  void checkJvmMachine();

  // Run flow steps (launcher/sibling_relaunch.cpp, jvm/, run/).
  int32_t relaunchSibling();
  void prepareJvmEnvironment();
  bool loadJvmLibrary(const std::wstring& path);
  void assembleJvmConfiguration();
  void addVmParameters(const std::wstring& text, std::vector<std::wstring>& parameters);
  bool createJvm();
  uint64_t defaultJavaStackSize();
  int32_t runJavaApplication();
  bool runMainClass();
  // The "VM Provider" setting admits IBM runtimes.
  bool ibmRuntimeAdmitted() const { return acceptIbm || favorIbm; }

  // Steps of later stages (launcher/pending_steps.cpp until they are built).
  bool setupSingleInstance();
  int32_t waitForRunningInstance();
  void releaseSingleInstance();
  bool searchRegistry(bool otherView, std::wstring& home);
  bool showMissingJreDialog(const std::wstring& text);

  JvmHookListener* hookListener = nullptr;
  int32_t jvmType = 0;
  std::wstring jvmDllPath;
  JavaVM* javaVm = nullptr;
  JNIEnv* jniEnv = nullptr;
  std::wstring mainClassName;
  JavaVersion minVersion;
  JavaVersion maxVersion;
  std::vector<std::wstring> arguments;
  bool isService = false;
  bool omitServiceName = false;
  bool sourceJdk = false;
  bool sourceJre = false;
  bool sourceAny = true;
  bool acceptJRockit = false;
  bool acceptSun = true;
  bool acceptIbm = false;
  bool favorJRockit = false;
  bool favorSun = true;
  bool favorIbm = false;
  std::wstring productName;
  std::wstring productCode;
  std::wstring upgradeCode;
  JvmOptionList jvmOptions;
  std::vector<std::wstring> preferredVersions;
  std::wstring jrePath;
  std::wstring libraryPath;
  SingleInstanceBlock* instanceBlock = nullptr;
  void* instanceMapping = nullptr;
  void* listenerThread = nullptr;
  bool isFirstInstance = false;
  bool guardEnabled = false;
  std::wstring outputFile;
  std::wstring errorFile;
  bool appendOutput = false;
  bool appendError = false;
  std::wstring systemPath;
  std::wstring extraArguments;
  std::wstring pairProduct;
  bool pairReturnCode = false;
  bool failureCheck = false;
  bool overrideWorkingDir = false;
  uint64_t threadStackSize = 0;
  void* mainStartedEvent = nullptr;
  bool relaunchPair = false;
  CreateJavaVmFunction createJavaVmEntry = nullptr;
  DefaultInitArgsFunction defaultInitArgsEntry = nullptr;
  FindClassFromBootLoaderFunction findClassFromBootLoaderEntry = nullptr;
};

}  // namespace tarn
