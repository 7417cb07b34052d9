#pragma once
// The VM's class path, library path and environment: what the configuration
// file and the chosen runtime add to the process environment and to the
// option list before the VM is created. The text rules are portable
// functions that take the platform's path rules, so the Windows rules are
// tested natively too.

#include <string>
#include <vector>

#include "base/environment.h"
#include "base/path.h"
#include "config/launcher_paths.h"
#include "config/settings.h"
#include "jvm/jvm_option_list.h"

namespace tarn {

// What a class path entry is searched as, and the folder text put in front
// of every name the search yields.
struct ClassPathSearch {
  std::wstring pattern;
  std::wstring prefix;
};

// False for an empty entry: it names nothing, not the launcher's folder.
// The prefix is the pattern's own folder part, so every name found is
// written under the folder in which it was found.
bool classPathSearchFor(const std::wstring& entry, const std::wstring& launcherDirectory, const PathStyle& style,
                        ClassPathSearch& out);

// The library path before expansion: the configured value, the launcher's
// folder, the current directory, the old search path and the runtime's lib
// folder. moduleFolder ends in a separator.
std::wstring libraryPathText(const std::wstring& libraryPath, const std::wstring& moduleFolder,
                             const std::wstring& jvmDllPath, const PathStyle& style);

// The search path before expansion: the system path, the old search path
// and the runtime's bin folder (runtimeBinFolderOf).
std::wstring searchPathText(const std::wstring& systemPath, const std::wstring& runtimeBinFolder,
                            const PathStyle& style);

// A search list (the library path, the search path) with its references
// expanded through `lookup`, without the entries that name nothing: an
// entry that refers to an undefined variable is left out (a literal %PATH%
// is no folder), and so is an empty one (the process's own program lookup
// reads it as the current directory). Entries are separated by the style's
// list separator, also inside the values that references expand to.
std::wstring expandSearchList(const std::wstring& text, const PathStyle& style, const VariableLookup& lookup);

// The search list cut to what one variable holds (the style's
// longestVariableValue): entries ahead of the last one are left out from
// the end, so that the first ones (the System Path) and the last one (the
// runtime's bin folder) stay. A longer value would be cut at its end, or
// refused, and the runtime's bin folder lost.
std::wstring fitSearchList(const std::wstring& list, const PathStyle& style);

// Appends each path the entry stands for, followed by the list separator:
// an absolute entry with "*" or any relative entry is searched in the file
// system; the names come in the order the file system gives them, "." and
// ".." included when the pattern matches them.
void expandClassPathEntry(const std::wstring& entry, const std::wstring& launcherDirectory, std::wstring& classPath);

// What the VM is created with.
struct VmSetup {
  JvmOptionList options;
  // Of the last "-Xss" parameter; 0 for the VM's default.
  uint64_t stackSize = 0;
  // The redirected streams, environment references expanded.
  OutputTarget output;
  OutputTarget error;
};

// The properties that the JDK's own launcher sets and its tools read (jps,
// jcmd, Flight Recorder, monitoring consoles): sun.java.command (the main
// class, dotted, and the arguments) and sun.java.launcher. One that the VM
// parameters already set is left to them.
std::vector<std::wstring> launcherProperties(const std::wstring& mainClass, const std::vector<std::wstring>& arguments,
                                             const std::vector<std::wstring>& vmParameters);

// Sets TARN_JVM_PATH, TARN_JVM_HOME and the search path for the chosen JVM
// library, and adds the library path option when one is configured. False,
// with its message written, when a library path entry cannot be given to
// the VM in the code page.
bool prepareJvmEnvironment(const std::wstring& jvmLibrary, const Settings& settings, const LauncherPaths& paths,
                           VmSetup& setup);

// The class path, the VM parameters, the launcher properties and the
// redirected streams into the setup, and the Cmd arguments after the command
// line's. Without a class path it writes its message and adds nothing more:
// the VM then looks for classes on its default class path. False, with its
// message written, when a class path entry cannot be given to the VM in the
// code page.
bool assembleJvmConfiguration(const Settings& settings, const LauncherPaths& paths, VmSetup& setup,
                              std::vector<std::wstring>& arguments);

// Platform side.
// The value of TARN_JVM_HOME for the chosen JVM library: on Windows the
// path less its last three components (bin\server\jvm.dll); on Linux the
// home that the library's place in the Java home layout gives.
std::wstring runtimeHomeOf(const std::wstring& jvmDllPath);
// The runtime's folder of programs, put at the end of the search path: on
// Windows the folder of the JVM library's folder (C:\jre\bin, which also
// holds the DLLs the VM needs); on Linux the bin/ folder of that home.
std::wstring runtimeBinFolderOf(const std::wstring& jvmDllPath);

}  // namespace tarn
