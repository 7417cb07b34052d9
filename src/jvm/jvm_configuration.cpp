#include "jvm/jvm_configuration.h"

#include "base/command_line.h"
#include "base/error_output.h"
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
  const PathStyle& style = nativePathStyle();
  ClassPathSearch search;
  if (!classPathSearchFor(entry, launcherDirectory, style, search)) return;
  for (const std::wstring& name : matchingNames(search.pattern)) {
    classPath += search.prefix;
    classPath += name;
    classPath += style.listSeparator;
  }
}

void prepareJvmEnvironment(const std::wstring& jvmLibrary, const Settings& settings, const LauncherPaths& paths,
                           VmSetup& setup) {
  const PathStyle& style = nativePathStyle();
  setEnvironmentVariable(L"TARN_JVM_PATH", jvmLibrary);
  setEnvironmentVariable(L"TARN_JVM_HOME", runtimeHomeOf(jvmLibrary));

  // Composed before the search path changes: its %Path% is the old one.
  if (!settings.libraryPath.empty()) {
    std::wstring path = libraryPathText(settings.libraryPath, paths.folder, jvmLibrary, style);
    expandEnvironment(path);
    setup.options.add(toJvmCodePage(L"-Djava.library.path=" + path));
  }

  std::wstring searchPath = searchPathText(settings.systemPath, runtimeBinFolderOf(jvmLibrary), style);
  expandEnvironment(searchPath);
  setEnvironmentVariable(style.searchPathVariable, searchPath);
}

void assembleJvmConfiguration(const Settings& settings, const LauncherPaths& paths, VmSetup& setup,
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
      expandClassPathEntry(entry, directory, classPath);
    } else {
      classPath += entry;
      classPath += style.listSeparator;
    }
  }
  if (settings.embeddedJar) classPath = paths.executable + style.listSeparator + classPath;

  // Nothing more is assembled; the VM then looks for classes on its default class path.
  if (classPath.empty()) {
    printError(loadMessage(MessageId::ClassPathMissing));
    return;
  }

  std::vector<std::wstring> options{L"-Djava.class.path=" + classPath};
  if (settings.vmParameters.find_first_not_of(L' ') != std::wstring::npos) {
    appendVmParameters(settings.vmParameters, currentMemoryStatus(), options, setup.stackSize);
  }
  for (std::wstring& option : options) {
    expandEnvironment(option);
    setup.options.add(toJvmCodePage(option));
  }

  setup.output = settings.output;
  expandEnvironment(setup.output.file);
  setup.error = settings.error;
  expandEnvironment(setup.error.file);

  if (settings.cmd.empty()) return;
  std::wstring extraArguments = settings.cmd;
  expandEnvironment(extraArguments);
  std::vector<std::wstring> pieces;
  splitCommandLine(extraArguments, pieces);
  for (std::wstring& piece : pieces) {
    if (!piece.empty()) arguments.push_back(std::move(piece));
  }
}

}  // namespace tarn
