#include "config/launcher_paths.h"

#include "base/error_output.h"
#include "base/message_table.h"

namespace tarn {

bool findLauncherPaths(LauncherPaths& out) {
  uint32_t error = 0;
  if (!queryModulePath(out.executable, error)) {
    printError(loadMessage(MessageId::WindowsException), loadMessage(MessageId::ModulePathFailed),
               static_cast<int32_t>(error));
    return false;
  }
  const PathStyle& style = nativePathStyle();
  const size_t separator = out.executable.rfind(style.separator);
  if (separator != std::wstring::npos) out.folder = out.executable.substr(0, separator + 1);
  return configPathFor(out.executable, style, out.configFile);
}

std::wstring applicationFolderValue(const std::wstring& folder, const PathStyle& style) {
  if (folder.size() < 2 || folder.back() != style.separator) return folder;
  if (style.windowsForms && folder.size() == 3 && folder[1] == L':') return folder;
  return folder.substr(0, folder.size() - 1);
}

bool configPathFor(const std::wstring& executablePath, const PathStyle& style, std::wstring& out) {
  size_t dot = executablePath.rfind(L'.');
  if (!style.windowsForms) {
    size_t separator = executablePath.rfind(style.separator);
    bool dotInFileName = dot != std::wstring::npos && (separator == std::wstring::npos || dot > separator);
    out = dotInFileName ? executablePath.substr(0, dot) + L".ini" : executablePath + L".ini";
    return true;
  }
  // The last "." of the whole path, even one in a folder name.
  if (dot == std::wstring::npos) return false;
  out = executablePath.substr(0, dot + 1) + L"ini";
  return true;
}

std::wstring withoutInvalidFolderCharacters(const std::wstring& name) {
  static const std::wstring kInvalid = L"\\?\"|><:/*";
  std::wstring kept;
  for (wchar_t c : name) {
    if (kInvalid.find(c) == std::wstring::npos) kept += c;
  }
  return kept;
}

std::wstring userConfigBaseName(const std::wstring& executablePath, const PathStyle& style) {
  return withoutExtension(fileNameOf(executablePath, style)) + L".ini";
}

namespace {

// Windows reads a name of dots and blanks alone as the folder itself or its
// parent.
bool onlyDotsAndBlanks(const std::wstring& name) {
  return !name.empty() && name.find_first_not_of(L". ") == std::wstring::npos;
}

bool hasControlCharacter(const std::wstring& name) {
  for (wchar_t c : name) {
    if (c < 0x20) return true;
  }
  return false;
}

// Either separator: the full path is in the system's form, whatever the
// style of the text it was made from.
bool liesBelow(const std::wstring& path, const std::wstring& folder) {
  const auto isSeparator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
  if (folder.empty() || path.size() <= folder.size() || path.compare(0, folder.size(), folder) != 0) return false;
  return isSeparator(folder.back()) || isSeparator(path[folder.size()]);
}

}  // namespace

bool isOneFolderName(const std::wstring& name) {
  return withoutInvalidFolderCharacters(name) == name && !onlyDotsAndBlanks(name) && !hasControlCharacter(name);
}

std::wstring userConfigPathFor(const std::wstring& settingsFolder, const std::wstring& productName,
                               const std::wstring& productCode, const std::wstring& executablePath,
                               const PathStyle& style) {
  const std::wstring name = withoutInvalidFolderCharacters(productName);
  if (!isOneFolderName(name) || !isOneFolderName(productCode)) return std::wstring();
  const wchar_t separator = style.separator;
  const std::wstring path = settingsFolder + separator + name + separator + productCode + separator +
                           userConfigBaseName(executablePath, style);
  // The names above leave nothing for the system to resolve elsewhere; the
  // full path says so once more in the system's own reading.
  return liesBelow(absolutePath(path), absolutePath(settingsFolder)) ? path : std::wstring();
}

std::wstring pairedLauncherPath(const std::wstring& pairProduct, const std::wstring& launcherFolder,
                                const PathStyle& style) {
  if (pairProduct.empty() || isAbsolutePath(pairProduct, style)) return pairProduct;
  const size_t start = pairProduct.find_first_not_of(style.separator);
  return start == std::wstring::npos ? launcherFolder : launcherFolder + pairProduct.substr(start);
}

}  // namespace tarn
