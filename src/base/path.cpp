#include "base/path.h"

namespace tarn {

namespace {
constexpr size_t kLongPath = 260;
const wchar_t kLongPathPrefix[] = L"\\\\?\\";
}  // namespace

bool isAbsolutePath(const std::wstring& path, const PathStyle& style) {
  if (!style.windowsForms) return !path.empty() && path[0] == L'/';
  return path.size() >= 2 && (path[1] == L':' || (path[0] == L'\\' && path[1] == L'\\'));
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
