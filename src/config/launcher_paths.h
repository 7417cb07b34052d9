#pragma once
// Where the launcher's files lie: its own path and folder, the configuration
// file beside it, the per-user file and the sibling launcher's files. The
// text rules are portable functions that take the platform's path style, so
// the Windows rules are tested natively too.

#include <cstdint>
#include <string>

namespace tarn {

struct PathStyle {
  wchar_t separator;
  // Windows takes the last "." of the whole path and fails without one;
  // Linux takes the last "." of the file name and appends ".ini" without one.
  bool extensionOfFileNameOnly;
};

constexpr PathStyle kWindowsPathStyle{L'\\', false};
constexpr PathStyle kPosixPathStyle{L'/', true};
const PathStyle& nativePathStyle();

// The configuration file for an executable path; false when it has none.
bool configPathFor(const std::wstring& executablePath, const PathStyle& style, std::wstring& out);

// Product Name without the characters that file names forbid: \ ? " | > < : / *
std::wstring withoutInvalidFolderCharacters(const std::wstring& name);

// Base name for a per-user file: the part after the last separator, cut
// before its last "." when it has one, then ".ini".
std::wstring userConfigBaseName(const std::wstring& executablePath, const PathStyle& style);

// "\\?\" in front of a path of 260 or more characters that lacks it.
std::wstring withLongPathPrefix(const std::wstring& path);

// Platform side.
// The running executable's full path, however long; on failure the error code.
bool queryModulePath(std::wstring& out, uint32_t& error);
// Per-user settings folder: %APPDATA% on Windows, $XDG_CONFIG_HOME or
// $HOME/.config on Linux; empty when unset.
std::wstring appDataFolder();
bool isNtPlatform();
// A directory search finds an entry for the path.
bool findFile(const std::wstring& path);
// Result not consulted: an existing folder is the normal case.
void createFolder(const std::wstring& path);

}  // namespace tarn
