#include "config/configured_paths.h"

#include "base/error_output.h"
#include "base/message_table.h"
#include "base/text.h"
#include "config/settings_names.h"

namespace tarn {
namespace {

bool isDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool namesWindowsOnly(const std::wstring& path) {
  if (path.size() >= 2 && isDriveLetter(path[0]) && path[1] == L':') return true;
  return path.compare(0, 2, L"\\\\") == 0;
}

// "\lib\*.jar": the launcher's folder, as Windows appends it.
void fromLauncherFolder(std::wstring& entry) {
  if (entry.size() >= 2 && entry[0] == L'\\' && entry[1] != L'\\') entry.erase(0, entry.find_first_not_of(L'\\'));
}

}  // namespace

bool nativeConfiguredPath(const wchar_t* setting, const PathStyle& style, std::wstring& path) {
  if (style.windowsForms || path.empty()) return true;
  if (namesWindowsOnly(path)) {
    printError(loadMessage(MessageId::WindowsPathOnPlatform), std::wstring(setting), path);
    path.clear();
    return false;
  }
  path = replaceAll(path, L'\\', style.separator);
  return true;
}

void nativeConfiguredPaths(const PathStyle& style, Settings& settings) {
  using namespace settings;
  if (style.windowsForms) return;
  nativeConfiguredPath(kJrePath, style, settings.jrePath);
  nativeConfiguredPath(kLibraryPath, style, settings.libraryPath);
  nativeConfiguredPath(kOutputFile, style, settings.output.file);
  nativeConfiguredPath(kErrorFile, style, settings.error.file);
  fromLauncherFolder(settings.splashImage);
  nativeConfiguredPath(kSplashImage, style, settings.splashImage);

  // The entries are separated by ";" on every platform.
  std::wstring classPath;
  for (std::wstring entry : splitAtSeparator(settings.classPath, L';')) {
    fromLauncherFolder(entry);
    if (!nativeConfiguredPath(kClassPathKey, style, entry)) continue;
    if (!classPath.empty()) classPath += L';';
    classPath += entry;
  }
  settings.classPath = classPath;
}

}  // namespace tarn
