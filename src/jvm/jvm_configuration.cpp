#include "jvm/jvm_configuration.h"

#include "base/text.h"
#include "config/layered_ini_file.h"
#include "config/settings_names.h"
#include "jvm/jvm_parameters.h"
#include "launcher/command_line.h"
#include "launcher/launcher.h"
#include "run/error_output.h"
#include "ui/message_table.h"

namespace tarn {
namespace {

// Windows takes "/" as a separator too.
size_t lastSeparator(const std::wstring& path, const JvmPathStyle& style) {
  return style.windowsRules ? path.find_last_of(L"\\/") : path.rfind(style.separator);
}

std::wstring folderPartOf(const std::wstring& pattern, const JvmPathStyle& style) {
  const size_t separator = lastSeparator(pattern, style);
  if (separator != std::wstring::npos) return pattern.substr(0, separator + 1);
  // "C:*.jar" searches the drive's current folder, which "C:" names.
  if (style.windowsRules && pattern.size() >= 2 && pattern[1] == L':') return pattern.substr(0, 2);
  return std::wstring();
}

std::wstring searchPathReference(const JvmPathStyle& style) {
  return std::wstring(L"%") + style.searchPathVariable + L"%";
}

}  // namespace

std::wstring stripPathComponents(const std::wstring& path, int count, wchar_t separator) {
  std::wstring stripped = path;
  for (int i = 0; i < count; ++i) {
    const size_t cut = stripped.rfind(separator);
    if (cut == std::wstring::npos) break;
    stripped.erase(cut);
  }
  return stripped;
}

std::wstring launcherDirectoryOf(const std::wstring& executablePath, const JvmPathStyle& style) {
  const size_t cut = executablePath.rfind(style.separator);
  return cut == std::wstring::npos ? std::wstring() : executablePath.substr(0, cut);
}

bool isAbsoluteClassPathEntry(const std::wstring& entry, const JvmPathStyle& style) {
  if (!style.windowsRules) return !entry.empty() && entry[0] == L'/';
  return entry.size() >= 2 && (entry[1] == L':' || (entry[0] == L'\\' && entry[1] == L'\\'));
}

bool classPathSearchFor(const std::wstring& entry, const std::wstring& launcherDirectory, const JvmPathStyle& style,
                        ClassPathSearch& out) {
  if (entry.empty()) return false;
  if (isAbsoluteClassPathEntry(entry, style)) {
    out.pattern = entry;
  } else if (style.windowsRules) {
    out.pattern = launcherDirectory + entry;
  } else {
    out.pattern = launcherDirectory + style.separator + entry;
  }
  out.prefix = folderPartOf(out.pattern, style);
  return true;
}

std::wstring libraryPathText(const std::wstring& libraryPath, const std::wstring& moduleFolder,
                             const std::wstring& jvmDllPath, const JvmPathStyle& style) {
  const wchar_t list = style.listSeparator;
  std::wstring text = libraryPath;
  if (text.empty() || text.back() != list) text += list;
  text += moduleFolder;
  text += list;
  text += L'.';
  text += list;
  text += searchPathReference(style);
  text += list;
  // The Java home with its trailing separator: C:\jre\bin\server\jvm.dll gives C:\jre\.
  const std::wstring binFolder = stripPathComponents(jvmDllPath, 2, style.separator);
  const size_t cut = binFolder.rfind(style.separator);
  if (cut != std::wstring::npos) text += binFolder.substr(0, cut + 1);
  text += L"lib";
  return text;
}

std::wstring searchPathText(const std::wstring& systemPath, const std::wstring& runtimeBinFolder,
                            const JvmPathStyle& style) {
  std::wstring text = systemPath;
  if (!text.empty() && text.back() != style.listSeparator) text += style.listSeparator;
  text += searchPathReference(style);
  text += style.listSeparator;
  text += runtimeBinFolder;
  return text;
}

std::wstring expandReferences(const std::wstring& text, const VariableLookup& lookup) {
  std::wstring expanded;
  expanded.reserve(text.size());
  size_t from = 0;
  while (from < text.size()) {
    const size_t open = text.find(L'%', from);
    const size_t closing = open == std::wstring::npos ? std::wstring::npos : text.find(L'%', open + 1);
    if (closing == std::wstring::npos) {
      expanded.append(text, from, std::wstring::npos);
      break;
    }
    expanded.append(text, from, open - from);
    std::wstring value;
    if (closing > open + 1 && lookup(text.substr(open + 1, closing - open - 1), value)) {
      expanded += value;
    } else {
      expanded.append(text, open, closing - open + 1);
    }
    from = closing + 1;
  }
  return expanded;
}

void expandClassPathEntry(const std::wstring& entry, const std::wstring& launcherDirectory, std::wstring& classPath) {
  const JvmPathStyle& style = nativeJvmPathStyle();
  ClassPathSearch search;
  if (!classPathSearchFor(entry, launcherDirectory, style, search)) return;
  for (const std::wstring& name : matchingNames(search.pattern)) {
    classPath += search.prefix;
    classPath += name;
    classPath += style.listSeparator;
  }
}

void Launcher::prepareJvmEnvironment() {
  const JvmPathStyle& style = nativeJvmPathStyle();
  setEnvironmentVariable(L"TARN_JVM_PATH", jvmDllPath);
  setEnvironmentVariable(L"TARN_JVM_HOME", runtimeHomeOf(jvmDllPath));

  // Composed before the search path changes: its %Path% is the old one.
  if (!libraryPath.empty()) {
    std::wstring folder;
    moduleFolder(folder);
    std::wstring path = libraryPathText(libraryPath, folder, jvmDllPath, style);
    expandEnvironment(path);
    jvmOptions.add(toJvmCodePage(L"-Djava.library.path=" + path));
  }

  std::wstring searchPath = searchPathText(systemPath, runtimeBinFolderOf(jvmDllPath), style);
  expandEnvironment(searchPath);
  setEnvironmentVariable(style.searchPathVariable, searchPath);
}

void Launcher::assembleJvmConfiguration() {
  using namespace settings;
  const JvmPathStyle& style = nativeJvmPathStyle();

  std::wstring configPath;
  std::wstring executable;
  if (!configFilePath(configPath) || !modulePath(executable)) return;
  LayeredIniFile ini(configPath, builtInSettingsText(upgradeCode));
  std::wstring value;

  // The entries are separated by ";" on every platform; the class path the
  // VM receives uses the platform's list separator.
  ini.readString(kClassPath, kClassPathKey, value);
  const std::wstring directory = launcherDirectoryOf(executable, style);
  std::wstring classPath;
  for (std::wstring& entry : splitAtSeparator(value, L';')) {
    expandEnvironment(entry);
    // An absolute entry without a wildcard is taken as written, existing or not.
    if (entry.find(L'*') != std::wstring::npos || !isAbsoluteClassPathEntry(entry, style)) {
      expandClassPathEntry(entry, directory, classPath);
    } else {
      classPath += entry;
      classPath += style.listSeparator;
    }
  }

  ini.readString(kApplication, kEmbeddedJar, value);
  if (equalsNoCase(value, L"Yes")) classPath = executable + style.listSeparator + classPath;

  // Nothing more is assembled; the VM then looks for classes on its default class path.
  if (classPath.empty()) {
    printError(loadMessage(MessageId::ClassPathMissing));
    return;
  }

  std::vector<std::wstring> options{L"-Djava.class.path=" + classPath};
  ini.readString(kJavaRuntimeEnvironment, kVirtualMachineParameters, value);
  addVmParameters(value, options);
  for (std::wstring& option : options) {
    expandEnvironment(option);
    jvmOptions.add(toJvmCodePage(option));
  }

  // The append flags take exactly "yes"; they start false and are only ever set here.
  ini.readString(kApplication, kOutputFile, outputFile);
  if (!outputFile.empty()) expandEnvironment(outputFile);
  ini.readString(kApplication, kOutputAppend, value);
  if (value == L"yes") appendOutput = true;
  ini.readString(kApplication, kErrorFile, errorFile);
  if (!errorFile.empty()) expandEnvironment(errorFile);
  ini.readString(kApplication, kErrorAppend, value);
  if (value == L"yes") appendError = true;

  ini.readString(kApplication, kCmd, extraArguments);
  if (extraArguments.empty()) return;
  expandEnvironment(extraArguments);
  std::vector<std::wstring> pieces;
  splitCommandLine(extraArguments, pieces);
  for (std::wstring& piece : pieces) {
    if (!piece.empty()) arguments.push_back(std::move(piece));
  }
}

}  // namespace tarn
