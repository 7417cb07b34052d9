#include "base/path.h"

namespace tarn {

namespace {
constexpr size_t kLongPath = 260;
const wchar_t kLongPathPrefix[] = L"\\\\?\\";
}  // namespace

bool isAbsolutePath(const std::wstring& path, const PathStyle& style, bool rootedDrive) {
  if (!style.windowsForms) return !path.empty() && path[0] == L'/';
  if (path.size() < 2) return false;
  if (path[1] == L':') return !rootedDrive || (path.size() >= 3 && path[2] == L'\\');
  return path[0] == L'\\' && path[1] == L'\\';
}

std::wstring stripPathComponents(const std::wstring& path, int count, wchar_t separator) {
  std::wstring stripped = path;
  for (int i = 0; i < count; ++i) {
    const size_t cut = stripped.rfind(separator);
    if (cut == std::wstring::npos) break;
    stripped.erase(cut);
  }
  return stripped;
}

std::wstring fileNameOf(const std::wstring& path, const PathStyle& style) {
  const size_t cut = style.windowsForms ? path.find_last_of(L"\\/:") : path.rfind(style.separator);
  return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

std::wstring withoutExtension(const std::wstring& name) {
  const size_t dot = name.rfind(L'.');
  return dot == std::wstring::npos || dot == 0 ? name : name.substr(0, dot);
}

std::wstring parentFolder(const std::wstring& path, wchar_t separator) {
  const size_t cut = path.rfind(separator);
  return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
}

std::wstring withTrailingSeparator(const std::wstring& folder, wchar_t separator) {
  if (folder.empty() || folder.back() == separator) return folder;
  return folder + separator;
}

std::wstring withLongPathPrefix(const std::wstring& fullPath) {
  if (fullPath.size() < kLongPath || fullPath.compare(0, 4, kLongPathPrefix) == 0) return fullPath;
  // A device path (\\.\...) takes no prefix.
  if (fullPath.compare(0, 4, L"\\\\.\\") == 0) return fullPath;
  if (fullPath.compare(0, 2, L"\\\\") == 0) return std::wstring(kLongPathPrefix) + L"UNC\\" + fullPath.substr(2);
  return kLongPathPrefix + fullPath;
}

}  // namespace tarn
