#include "jvm/jvm_configuration.h"

#include "base/command_line.h"
#include "base/diagnosis.h"
#include "base/environment.h"
#include "base/error_output.h"
#include "base/message_table.h"
#include "base/text.h"
#include "config/settings_names.h"
#include "jvm/jvm_parameters.h"
#include "jvm/output_file_name.h"
#include "jvm/search_paths.h"
#include "jvm/user_vm_parameters.h"

namespace tarn {

std::wstring commandHead(const Settings& settings, const std::wstring& mainJar) {
  if (!settings.mainModule.empty()) return settings.mainModule;
  return settings.mainClass.empty() ? mainJar : replaceAll(settings.mainClass, L'/', L'.');
}

std::vector<std::wstring> launcherProperties(const std::wstring& commandHead, const std::vector<std::wstring>& arguments,
                                             const std::vector<std::wstring>& vmParameters) {
  auto configured = [&vmParameters](const std::wstring& prefix) {
    for (const std::wstring& parameter : vmParameters) {
      if (parameter.compare(0, prefix.size(), prefix) == 0) return true;
    }
    return false;
  };
  static const std::wstring kCommand = L"-Dsun.java.command=";
  static const std::wstring kLauncher = L"-Dsun.java.launcher=";
  std::vector<std::wstring> properties;
  if (!configured(kCommand)) {
    std::wstring command = kCommand + commandHead;
    for (const std::wstring& argument : arguments) command += L' ' + argument;
    properties.push_back(std::move(command));
  }
  if (!configured(kLauncher)) properties.push_back(kLauncher + L"SUN_STANDARD");
  return properties;
}

namespace {

// The option with its list of paths, each entry in a form the code page
// carries; false, with the message written, at the first entry that has none.
bool addPathListOption(JvmOptionList& options, const std::wstring& name, const std::wstring& list,
                       wchar_t separator) {
  std::wstring text = name;
  bool first = true;
  for (const std::wstring& entry : splitAtSeparator(list, separator)) {
    const std::wstring safe = entry.empty() ? entry : codePageSafePath(entry);
    if (safe.empty() && !entry.empty()) {
      printError(loadMessage(MessageId::PathOutsideCodePage), entry);
      return false;
    }
    if (!first) text += separator;
    text += safe;
    first = false;
  }
  options.add(toJvmCodePage(text));
  return true;
}

}  // namespace

bool prepareJvmEnvironment(const std::wstring& jvmLibrary, const Settings& settings, const LauncherPaths& paths,
                           VmSetup& setup) {
  const PathStyle& style = nativePathStyle();
  setEnvironmentVariable(L"TARN_JVM_PATH", jvmLibrary);
  setEnvironmentVariable(L"TARN_JVM_HOME", runtimeHomeOf(jvmLibrary));

  // Composed before the search path changes: its %Path% is the old one.
  if (!settings.libraryPath.empty()) {
    const std::wstring path =
        expandSearchList(libraryPathText(settings.libraryPath, paths.folder, jvmLibrary, style), style,
                         readEnvironmentVariable);
    if (!addPathListOption(setup.options, L"-Djava.library.path=", path, style.listSeparator)) return false;
  }

  const std::wstring searchPath = fitSearchList(
      expandSearchList(searchPathText(settings.systemPath, runtimeBinFolderOf(jvmLibrary), style), style,
                       readEnvironmentVariable),
      style);
  setEnvironmentVariable(style.searchPathVariable, searchPath);
  return true;
}

void appendCmdArguments(const std::wstring& cmd, std::vector<std::wstring>& arguments) {
  if (cmd.empty()) return;
  std::wstring extraArguments = cmd;
  expandEnvironment(extraArguments);
  std::vector<std::wstring> pieces;
  splitCommandLine(extraArguments, pieces);
  for (std::wstring& piece : pieces) {
    if (!piece.empty()) arguments.push_back(std::move(piece));
  }
}

bool assembleJvmConfiguration(const std::wstring& classPath, const std::wstring& modulePath, const Settings& settings,
                              VmSetup& setup, const std::vector<std::wstring>& arguments, const std::wstring& mainJar) {
  const PathStyle& style = nativePathStyle();

  // Each entry was expanded once by assembleClassPath; the names a search
  // found are never expanded, so a file name cannot add entries.
  if (!addPathListOption(setup.options, L"-Djava.class.path=", classPath, style.listSeparator)) return false;
  // As the JDK's launcher gives "--module-path" and "--module" to the VM: the
  // VM resolves the main module first, and LauncherHelper finds its class.
  if (!modulePath.empty() &&
      !addPathListOption(setup.options, L"--module-path=", modulePath, style.listSeparator)) {
    return false;
  }
  if (!settings.mainModule.empty()) {
    const std::wstring module = settings.mainModule.substr(0, settings.mainModule.find(L'/'));
    setup.options.add(toJvmCodePage(L"-Djdk.module.main=" + module));
  }
  std::vector<std::wstring> parameters;
  if (settings.vmParameters.find_first_not_of(L' ') != std::wstring::npos) {
    appendVmParameters(settings.vmParameters, currentMemoryStatus(), parameters, setup.stackSize);
  }
  for (std::wstring& parameter : parameters) expandEnvironment(parameter);
  if (settings.userVmParameters.find_first_not_of(L' ') != std::wstring::npos) {
    std::vector<std::wstring> userParameters;
    appendVmParameters(settings.userVmParameters, currentMemoryStatus(), userParameters, setup.stackSize);
    appendUserVmParameters(userParameters, settings.userFile, parameters);
  }
  for (const std::wstring& parameter : parameters) setup.options.add(toJvmCodePage(parameter));

  setup.output = settings.output;
  setup.keepOutputFiles = settings.keepOutputFiles;
  expandOutputFileName(settings::kOutputFile, setup.output.file);
  setup.error = settings.error;
  expandOutputFileName(settings::kErrorFile, setup.error.file);

  for (const std::wstring& option : launcherProperties(commandHead(settings, mainJar), arguments, parameters)) {
    setup.options.add(toJvmCodePage(option));
  }
  return true;
}

}  // namespace tarn
