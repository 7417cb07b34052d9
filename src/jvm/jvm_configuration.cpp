#include "jvm/jvm_configuration.h"

#include "base/command_line.h"
#include "base/diagnosis.h"
#include "base/error_output.h"
#include "base/file_system.h"
#include "base/message_table.h"
#include "base/text.h"
#include "jvm/jvm_parameters.h"

namespace tarn {
namespace {

// Windows takes "/" as a separator too.
size_t lastSeparator(const std::wstring& path, const PathStyle& style) {
  return style.windowsForms ? path.find_last_of(L"\\/") : path.rfind(style.separator);
}

std::wstring folderPartOf(const std::wstring& pattern, const PathStyle& style) {
  const size_t separator = lastSeparator(pattern, style);
  if (separator != std::wstring::npos) return pattern.substr(0, separator + 1);
  // "C:*.jar" searches the drive's current folder, which "C:" names.
  if (style.windowsForms && pattern.size() >= 2 && pattern[1] == L':') return pattern.substr(0, 2);
  return std::wstring();
}

std::wstring searchPathReference(const PathStyle& style) {
  return std::wstring(L"%") + style.searchPathVariable + L"%";
}

}  // namespace

bool classPathSearchFor(const std::wstring& entry, const std::wstring& launcherDirectory, const PathStyle& style,
                        ClassPathSearch& out) {
  if (entry.empty()) return false;
  if (isAbsolutePath(entry, style)) {
    out.pattern = entry;
  } else if (style.windowsForms) {
    out.pattern = launcherDirectory + entry;
  } else {
    out.pattern = launcherDirectory + style.separator + entry;
  }
  out.prefix = folderPartOf(out.pattern, style);
  return true;
}

std::wstring libraryPathText(const std::wstring& libraryPath, const std::wstring& moduleFolder,
                             const std::wstring& jvmDllPath, const PathStyle& style) {
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
                            const PathStyle& style) {
  std::wstring text = systemPath;
  if (!text.empty() && text.back() != style.listSeparator) text += style.listSeparator;
  text += searchPathReference(style);
  text += style.listSeparator;
  text += runtimeBinFolder;
  return text;
}

std::wstring expandSearchList(const std::wstring& text, const PathStyle& style, const VariableLookup& lookup) {
  std::wstring list;
  for (const std::wstring& entry : splitAtSeparator(text, style.listSeparator)) {
    bool undefined = false;
    const std::wstring expanded = expandReferences(entry, [&](const std::wstring& name, std::wstring& value) {
      if (lookup(name, value)) return true;
      undefined = true;
      return false;
    });
    if (undefined) continue;
    for (const std::wstring& piece : splitAtSeparator(expanded, style.listSeparator)) {
      if (piece.empty()) continue;
      if (!list.empty()) list += style.listSeparator;
      list += piece;
    }
  }
  return list;
}

std::wstring fitSearchList(const std::wstring& list, const PathStyle& style) {
  const size_t longest = style.longestVariableValue;
  if (longest == 0 || list.size() <= longest) return list;
  const size_t lastStart = list.rfind(style.listSeparator);
  if (lastStart == std::wstring::npos) return list;
  std::wstring head = list.substr(0, lastStart);
  const size_t lastLength = list.size() - lastStart;  // with its separator
  while (!head.empty() && head.size() + lastLength > longest) {
    const size_t cut = head.rfind(style.listSeparator);
    head.erase(cut == std::wstring::npos ? 0 : cut);
  }
  return head.empty() ? list.substr(lastStart + 1) : head + list.substr(lastStart);
}

void expandClassPathEntry(const std::wstring& entry, const std::wstring& launcherDirectory, std::wstring& classPath) {
  const PathStyle& style = nativePathStyle();
  ClassPathSearch search;
  if (!classPathSearchFor(entry, launcherDirectory, style, search)) return;
  for (const std::wstring& name : matchingNames(search.pattern)) {
    classPath += search.prefix;
    classPath += name;
    classPath += style.listSeparator;
  }
}

std::vector<std::wstring> launcherProperties(const std::wstring& mainClass, const std::vector<std::wstring>& arguments,
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
    std::wstring command = kCommand + replaceAll(mainClass, L'/', L'.');
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

bool assembleJvmConfiguration(const Settings& settings, const LauncherPaths& paths, VmSetup& setup,
                              std::vector<std::wstring>& arguments) {
  const PathStyle& style = nativePathStyle();

  // The entries are separated by ";" on every platform; the class path the
  // VM receives uses the platform's list separator.
  const std::wstring directory = parentFolder(paths.executable, style.separator);
  std::wstring classPath;
  for (std::wstring& entry : splitAtSeparator(settings.classPath, L';')) {
    expandEnvironment(entry);
    // An absolute entry without a wildcard is taken as written, existing or not.
    if (entry.find(L'*') != std::wstring::npos || !isAbsolutePath(entry, style)) {
      const size_t before = classPath.size();
      expandClassPathEntry(entry, directory, classPath);
      if (diagnosing()) {
        if (classPath.size() == before) {
          diagnose("class path entry %s: matched nothing", entry);
        } else {
          diagnose("class path entry %s: gave %s", entry, classPath.substr(before, classPath.size() - before - 1));
        }
      }
    } else {
      classPath += entry;
      classPath += style.listSeparator;
      if (diagnosing()) diagnose("class path entry %s: taken as written", entry);
    }
  }
  if (settings.embeddedJar) classPath = paths.executable + style.listSeparator + classPath;
  // The VM reads an empty last element as the current directory, which
  // must be on the class path only when the configuration names it.
  if (!classPath.empty() && classPath.back() == style.listSeparator) classPath.pop_back();

  // Nothing more is assembled; the VM then looks for classes on its default class path.
  if (classPath.empty()) {
    printError(loadMessage(MessageId::ClassPathMissing));
    return true;
  }
  if (diagnosing()) diagnose("class path: %s", classPath);

  // Each entry was expanded once above; the names a search found are never
  // expanded, so a file name cannot add entries.
  if (!addPathListOption(setup.options, L"-Djava.class.path=", classPath, style.listSeparator)) return false;
  std::vector<std::wstring> parameters;
  if (settings.vmParameters.find_first_not_of(L' ') != std::wstring::npos) {
    appendVmParameters(settings.vmParameters, currentMemoryStatus(), parameters, setup.stackSize);
  }
  for (std::wstring& parameter : parameters) {
    expandEnvironment(parameter);
    setup.options.add(toJvmCodePage(parameter));
  }

  setup.output = settings.output;
  expandEnvironment(setup.output.file);
  setup.error = settings.error;
  expandEnvironment(setup.error.file);

  if (!settings.cmd.empty()) {
    std::wstring extraArguments = settings.cmd;
    expandEnvironment(extraArguments);
    std::vector<std::wstring> pieces;
    splitCommandLine(extraArguments, pieces);
    for (std::wstring& piece : pieces) {
      if (!piece.empty()) arguments.push_back(std::move(piece));
    }
  }

  for (const std::wstring& option : launcherProperties(settings.mainClass, arguments, parameters)) {
    setup.options.add(toJvmCodePage(option));
  }
  return true;
}

}  // namespace tarn
