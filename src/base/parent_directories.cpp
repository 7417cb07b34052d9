#include "base/parent_directories.h"

#include "base/path.h"
#include "base/text.h"

namespace tarn {
namespace {

bool startsWithLongPathPrefix(const std::wstring& path, const PathStyle& style) {
  const wchar_t s = style.separator;
  return style.windowsForms && path.size() >= 4 && path[0] == s && path[1] == s &&
         path[2] == L'?' && path[3] == s;
}

// \\server\... but not the long-path form \\?\...
bool isUncPath(const std::wstring& path, const PathStyle& style) {
  const wchar_t s = style.separator;
  return style.windowsForms && path.size() >= 3 && path[0] == s && path[1] == s && path[2] != L'?';
}

// \\server\share\... or \\?\UNC\server\share\...
bool isNetworkPath(const std::wstring& path, const PathStyle& style) {
  if (isUncPath(path, style)) return true;
  if (!startsWithLongPathPrefix(path, style)) return false;
  const std::wstring rest = path.substr(4);
  return rest.size() >= 4 && equalsNoCase(rest.substr(0, 3), L"UNC") && rest[3] == style.separator;
}

// The first directory of a relative path can be made; a drive ("C:"), the
// long-path prefix with its drive, a server and the empty root cannot.
bool rootCanBeCreated(const std::wstring& root, const PathStyle& style) {
  if (root.empty() || root[0] == style.separator) return false;
  return !(style.windowsForms && root.size() == 2 && root[1] == L':');
}

// Windows drops the dots and spaces that end a name it creates, and a
// folder so named would not be the one the path goes through.
bool keptAsWritten(const std::wstring& name, const PathStyle& style) {
  if (!style.windowsForms || name.empty() || name == L"." || name == L"..") return true;
  return name.back() != L'.' && name.back() != L' ';
}

// Windows' ERROR_INVALID_NAME.
constexpr uint32_t kInvalidName = 123;

}  // namespace

std::vector<std::wstring> splitPathForCreation(const std::wstring& path, const PathStyle& style) {
  std::vector<std::wstring> parts;
  if (path.empty()) return parts;
  std::wstring root;
  std::wstring rest = path;
  if (startsWithLongPathPrefix(path, style)) {
    root = path.substr(0, 4);
    rest = path.substr(4);
  }
  const std::size_t searchFrom = isUncPath(rest, style) ? 2 : 0;
  const std::size_t separator = rest.find(style.separator, searchFrom);
  if (separator == std::wstring::npos) {
    root += rest;
    rest.clear();
  } else {
    root += rest.substr(0, separator);
    rest.erase(0, separator + 1);
  }
  parts.push_back(root);
  for (std::wstring& piece : splitAtSeparator(rest, style.separator)) parts.push_back(std::move(piece));
  return parts;
}

uint32_t createParentFolders(const std::wstring& path, const PathStyle& style,
                             FolderOperations& folders) {
  if (isAbsolutePath(path, style) && folders.exists(path)) return 0;
  const bool network = isNetworkPath(path, style);
  const std::vector<std::wstring> parts = splitPathForCreation(path, style);
  if (parts.size() < 2) return 0;  // a file name alone: nothing above it to make

  std::vector<std::wstring> created;
  uint32_t result = 0;
  const auto attempt = [&](const std::wstring& folder, const std::wstring& name) {
    if (!keptAsWritten(name, style)) {
      result = kInvalidName;
      return false;
    }
    uint32_t error = 0;
    switch (folders.createFolder(folder, error)) {
      case FolderOperations::Outcome::Created:
        created.push_back(folder);
        result = 0;
        break;
      case FolderOperations::Outcome::AlreadyExists:
        result = 0;
        break;
      case FolderOperations::Outcome::Failed:
        result = error != 0 ? error : 1;  // a failure is never reported as 0
        break;
    }
    return result == 0;
  };

  std::wstring soFar = parts[0];
  bool walking = !rootCanBeCreated(soFar, style) || attempt(soFar, soFar);
  for (std::size_t i = 1; walking && i + 1 < parts.size(); ++i) {
    soFar += style.separator;
    soFar += parts[i];
    walking = attempt(soFar, parts[i]) || network;
  }

  if (result != 0) {
    for (auto folder = created.rbegin(); folder != created.rend(); ++folder) folders.removeFolder(*folder);
  }
  return result;
}

}  // namespace tarn
