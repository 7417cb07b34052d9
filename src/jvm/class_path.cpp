#include "jvm/class_path.h"

#include "base/diagnosis.h"
#include "base/environment.h"
#include "base/file_system.h"
#include "base/text.h"
#include "jvm/list_elements.h"
#include "jvm/missing_class_path.h"

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

std::wstring configuredFilePath(const std::wstring& configured, const LauncherPaths& paths) {
  const PathStyle& style = nativePathStyle();
  std::wstring path = configured;
  expandEnvironment(path);
  if (path.empty() || isAbsolutePath(path, style)) return path;
  // "app.jar" and "\app.jar" alike lie in the launcher's folder, which ends
  // in a separator.
  const size_t name = style.windowsForms ? path.find_first_not_of(L"\\/") : 0;
  return name == std::wstring::npos ? path : paths.folder + path.substr(name);
}

namespace {

// The diagnose lines of one list's entries.
struct EntryFacts {
  const char* matchedNothing;
  const char* gave;
  const char* takenAsWritten;
};

// The entries are separated by ";" on every platform; the list the VM
// receives uses the platform's list separator, and ends with one.
std::wstring expandPathList(const std::wstring& list, const std::wstring& directory, const EntryFacts& facts) {
  const PathStyle& style = nativePathStyle();
  std::wstring expanded;
  for (std::wstring& entry : splitAtSeparator(list, L';')) {
    expandEnvironment(entry);
    // An absolute entry without a wildcard is taken as written, existing or not.
    if (entry.find(L'*') != std::wstring::npos || !isAbsolutePath(entry, style)) {
      const size_t before = expanded.size();
      expandClassPathEntry(entry, directory, expanded);
      if (diagnosing()) {
        if (expanded.size() == before) {
          diagnose(facts.matchedNothing, entry);
        } else {
          diagnose(facts.gave, entry, expanded.substr(before, expanded.size() - before - 1));
        }
      }
    } else {
      expanded += entry;
      expanded += style.listSeparator;
      if (diagnosing()) diagnose(facts.takenAsWritten, entry);
    }
  }
  return expanded;
}

}  // namespace

std::wstring assembleClassPath(const Settings& settings, const LauncherPaths& paths, const std::wstring& mainJar) {
  const PathStyle& style = nativePathStyle();
  const std::wstring directory = parentFolder(paths.executable, style.separator);
  static const EntryFacts kFacts = {"class path entry %s: matched nothing", "class path entry %s: gave %s",
                                    "class path entry %s: taken as written"};
  std::wstring classPath = expandPathList(settings.classPath, directory, kFacts);
  if (settings.embeddedJar) classPath = paths.executable + style.listSeparator + classPath;
  if (!mainJar.empty()) classPath = mainJar + style.listSeparator + classPath;
  classPath = withoutEmptyElements(classPath, style.listSeparator);

  if (classPath.empty()) {
    reportMissingClassPath(settings.classPath);
  } else if (diagnosing()) {
    diagnose("class path: %s", classPath);
  }
  return classPath;
}

bool needsClassPath(const Settings& settings) {
  return settings.mainModule.empty() || !settings.classPath.empty() || settings.embeddedJar;
}

std::wstring assembleModulePath(const Settings& settings, const LauncherPaths& paths) {
  const PathStyle& style = nativePathStyle();
  const std::wstring directory = parentFolder(paths.executable, style.separator);
  static const EntryFacts kFacts = {"module path entry %s: matched nothing", "module path entry %s: gave %s",
                                    "module path entry %s: taken as written"};
  std::wstring modulePath =
      withoutEmptyElements(expandPathList(settings.modulePath, directory, kFacts), style.listSeparator);
  if (diagnosing() && !settings.modulePath.empty()) diagnose("module path: %s", modulePath);
  return modulePath;
}

}  // namespace tarn
