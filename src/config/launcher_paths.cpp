#include "config/launcher_paths.h"

#include "launcher/launcher.h"
#include "run/error_output.h"
#include "ui/message_table.h"

namespace tarn {

bool configPathFor(const std::wstring& executablePath, const PathStyle& style, std::wstring& out) {
  size_t dot = executablePath.rfind(L'.');
  if (style.extensionOfFileNameOnly) {
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

std::wstring withLongPathPrefix(const std::wstring& path) {
  static const std::wstring kPrefix = L"\\\\?\\";
  if (path.size() < 260 || path.compare(0, kPrefix.size(), kPrefix) == 0) return path;
  return kPrefix + path;
}

bool Launcher::modulePath(std::wstring& out) {
  uint32_t error = 0;
  if (queryModulePath(out, error)) return true;
  printError(loadMessage(MessageId::WindowsException), loadMessage(MessageId::ModulePathFailed),
             static_cast<int32_t>(error));
  return false;
}

bool Launcher::moduleFolder(std::wstring& out) {
  std::wstring path;
  if (!modulePath(path)) return false;
  size_t separator = path.rfind(nativePathStyle().separator);
  if (separator != std::wstring::npos) out = path.substr(0, separator + 1);
  return true;
}

bool Launcher::configFilePath(std::wstring& out) {
  std::wstring path;
  if (!modulePath(path)) return false;
  return configPathFor(path, nativePathStyle(), out);
}

void Launcher::userConfigPathFor(const std::wstring& executablePath, std::wstring& out, bool createFolders) {
  const wchar_t separator = nativePathStyle().separator;
  out = appDataFolder() + separator + withoutInvalidFolderCharacters(productName);
  if (createFolders) createFolder(out);
  out += separator + productCode;
  if (createFolders) createFolder(out);
  out += separator + userConfigBaseName(executablePath, nativePathStyle());
}

void Launcher::userConfigFilePath(std::wstring& out, bool createFolders) {
  std::wstring path;
  if (!modulePath(path)) {
    out.clear();
    return;
  }
  userConfigPathFor(path, out, createFolders);
}

bool Launcher::pairConfigFilePath(std::wstring& out) {
  // Taken as configured: a relative value is relative to the current directory.
  size_t dot = pairProduct.rfind(L'.');
  if (pairProduct.empty() || dot == std::wstring::npos) return false;
  out = pairProduct.substr(0, dot + 1) + L"ini";
  return true;
}

void Launcher::pairUserConfigFilePath(std::wstring& out) {
  if (pairProduct.empty()) {
    out.clear();
    return;
  }
  userConfigPathFor(pairProduct, out, true);
}

}  // namespace tarn
