#pragma once
// What the configuration file and the chosen runtime add to the process
// environment and to the VM's option list before the VM is created: the
// library and search paths (search_paths.h), the class path (class_path.h),
// the VM parameters, the redirected streams and the launcher properties.

#include <string>
#include <vector>

#include "config/launcher_paths.h"
#include "config/settings.h"
#include "jvm/jvm_option_list.h"

namespace tarn {

// What the VM is created with.
struct VmSetup {
  JvmOptionList options;
  // Of the last "-Xss" parameter; 0 for the VM's default.
  uint64_t stackSize = 0;
  // The redirected streams, environment references expanded.
  OutputTarget output;
  OutputTarget error;
  // Keep Output Files: dated files of each stream kept; 0 keeps them all.
  uint32_t keepOutputFiles = 0;
};

// The properties that the JDK's own launcher sets and its tools read (jps,
// jcmd, Flight Recorder, monitoring consoles): sun.java.command (what runs,
// commandHead, then the arguments) and sun.java.launcher. One that the VM
// parameters already set is left to them.
std::vector<std::wstring> launcherProperties(const std::wstring& commandHead, const std::vector<std::wstring>& arguments,
                                             const std::vector<std::wstring>& vmParameters);

// Sets TARN_JVM_PATH, TARN_JVM_HOME and the search path for the chosen JVM
// library, and adds the library path option when one is configured. False,
// with its message written, when a library path entry cannot be given to
// the VM in the code page.
bool prepareJvmEnvironment(const std::wstring& jvmLibrary, const Settings& settings, const LauncherPaths& paths,
                           VmSetup& setup);

// The arguments of "Cmd", environment references expanded, after the
// command line's: a step of its own in the run flow, taken only when the run
// has a class path.
void appendCmdArguments(const std::wstring& cmd, std::vector<std::wstring>& arguments);

// What sun.java.command names before the arguments: the main module as
// configured, the main class, dotted, or, when only a Main Jar is set, the
// JAR's path, as "java -jar" gives it.
std::wstring commandHead(const Settings& settings, const std::wstring& mainJar);

// The class path option (classPath as assembleClassPath gave it), the
// module options, the VM parameters, the launcher properties for
// `arguments` and the redirected streams into the setup. False, with its
// message written, when a path entry cannot be given to the VM in the code
// page.
bool assembleJvmConfiguration(const std::wstring& classPath, const std::wstring& modulePath, const Settings& settings,
                              VmSetup& setup, const std::vector<std::wstring>& arguments,
                              const std::wstring& mainJar = std::wstring());

}  // namespace tarn
