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
  size_t separator = executablePath.rfind(style.separator);
  std::wstring name = separator == std::wstring::npos ? executablePath : executablePath.substr(separator + 1);
  size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos) name.erase(dot);
  return name + L".ini";
}

std::wstring userConfigPathFor(const std::wstring& settingsFolder, const std::wstring& productName,
                               const std::wstring& productCode, const std::wstring& executablePath,
                               const PathStyle& style) {
  const wchar_t separator = style.separator;
  return settingsFolder + separator + withoutInvalidFolderCharacters(productName) + separator + productCode +
         separator + userConfigBaseName(executablePath, style);
}

std::wstring pairedLauncherPath(const std::wstring& pairProduct, const std::wstring& launcherFolder,
                                const PathStyle& style) {
  if (pairProduct.empty() || isAbsolutePath(pairProduct, style)) return pairProduct;
  const size_t start = pairProduct.find_first_not_of(style.separator);
  return start == std::wstring::npos ? launcherFolder : launcherFolder + pairProduct.substr(start);
}

}  // namespace tarn
