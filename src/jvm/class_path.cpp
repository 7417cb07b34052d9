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

std::wstring mainJarPath(const std::wstring& configured, const LauncherPaths& paths) {
  const PathStyle& style = nativePathStyle();
  std::wstring path = configured;
  expandEnvironment(path);
  if (path.empty() || isAbsolutePath(path, style)) return path;
  // "app.jar" and "\app.jar" alike lie in the launcher's folder, which ends
  // in a separator.
  const size_t name = style.windowsForms ? path.find_first_not_of(L"\\/") : 0;
  return name == std::wstring::npos ? path : paths.folder + path.substr(name);
}

std::wstring assembleClassPath(const Settings& settings, const LauncherPaths& paths, const std::wstring& mainJar) {
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
  if (!mainJar.empty()) classPath = mainJar + style.listSeparator + classPath;
  classPath = withoutEmptyElements(classPath, style.listSeparator);

  if (classPath.empty()) {
    reportMissingClassPath(settings.classPath);
  } else if (diagnosing()) {
    diagnose("class path: %s", classPath);
  }
  return classPath;
}

}  // namespace tarn
