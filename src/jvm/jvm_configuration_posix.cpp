// POSIX: environment variables, their expansion (our own, with the Windows
// %NAME% syntax), and the directory search behind class path entries.
#include <dirent.h>
#include <fnmatch.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <memory>

#include "base/text.h"
#include "discovery/java_home.h"
#include "jvm/jvm_configuration.h"

namespace tarn {
namespace {

struct DirectoryCloser {
  void operator()(DIR* directory) const { closedir(directory); }
};

// The file name pattern for fnmatch: only * and ? are wildcards, as in a
// Windows search; brackets and backslashes match themselves.
std::string namePattern(const std::string& component) {
  std::string pattern;
  for (char c : component) {
    if (c == '[' || c == ']' || c == '\\') pattern += '\\';
    pattern += c;
  }
  return pattern;
}

}  // namespace

void expandEnvironment(std::wstring& text) {
  if (text.find(L'%') == std::wstring::npos) return;
  text = expandReferences(text, readEnvironmentVariable);
}

void setEnvironmentVariable(const std::wstring& name, const std::wstring& value) {
  setenv(toUtf8(name).c_str(), toUtf8(value).c_str(), 1);
}

void removeEnvironmentVariable(const std::wstring& name) { unsetenv(toUtf8(name).c_str()); }

std::vector<std::wstring> matchingNames(const std::wstring& pattern) {
  std::vector<std::wstring> names;
  const std::string path = toUtf8(pattern);
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const std::string component = slash == std::string::npos ? path : path.substr(slash + 1);
  if (component.empty()) return names;

  // Without a wildcard the component can only match itself: one look at
  // that name instead of a read of the whole folder.
  if (component.find_first_of("*?") == std::string::npos) {
    struct stat status;
    if (lstat(path.c_str(), &status) == 0) names.push_back(fromUtf8(component));
    return names;
  }

  std::unique_ptr<DIR, DirectoryCloser> directory(opendir(folder.c_str()));
  if (!directory) return names;
  const std::string wanted = namePattern(component);
  while (const dirent* entry = readdir(directory.get())) {
    if (fnmatch(wanted.c_str(), entry->d_name, 0) == 0) names.push_back(fromUtf8(entry->d_name));
  }
  return names;
}

// The VM lies two (lib/server/) or three (lib/amd64/server/) folders below
// the home, so the Windows rule of three components does not carry over.
std::wstring runtimeHomeOf(const std::wstring& jvmDllPath) {
  return javaHomeOfJvmLibrary(jvmDllPath, kPosixJavaHomeLayout);
}

// The VM's own folder holds no programs here, and the loader finds the VM's
// libraries without the search path.
std::wstring runtimeBinFolderOf(const std::wstring& jvmDllPath) {
  const std::wstring home = runtimeHomeOf(jvmDllPath);
  // A home in the current directory keeps its bin folder relative, as on Windows.
  return home.empty() ? std::wstring(L"bin") : home + L"/bin";
}

}  // namespace tarn
