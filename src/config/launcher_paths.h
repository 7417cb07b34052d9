#pragma once
// Where the launcher's files lie: its own path and folder, the configuration
// file beside it and the per-user file. The text rules are portable
// functions that take the platform's path style, so the Windows rules are
// tested natively too.

#include <cstdint>
#include <string>

#include "base/path.h"

namespace tarn {

struct LauncherPaths {
  std::wstring executable;  // the running executable's full path
  std::wstring folder;      // its folder, ending in a separator
  std::wstring configFile;  // the configuration file beside it
};

// The environment variable that names the launcher's folder: set before the
// configuration is read, so that %TARN_APP_DIR% expands in every setting
// that expands references, and inherited by the application.
inline constexpr wchar_t kApplicationFolderVariable[] = L"TARN_APP_DIR";

// Its value: the launcher's folder (which ends in a separator) without the
// trailing separator, except a root's ("/", "C:\"), which a bare drive
// designator or an empty text would not name.
std::wstring applicationFolderValue(const std::wstring& folder, const PathStyle& style);

// The running executable's paths. False when its path cannot be had (the
// message written) or names no configuration file (Windows: no "." in it).
bool findLauncherPaths(LauncherPaths& out);

// The configuration file for an executable path; false when it has none.
bool configPathFor(const std::wstring& executablePath, const PathStyle& style, std::wstring& out);

// Product Name without the characters that file names forbid: \ ? " | > < : / *
std::wstring withoutInvalidFolderCharacters(const std::wstring& name);

// Base name for a per-user file: the part after the last separator, cut
// before its last "." when it has one, then ".ini".
std::wstring userConfigBaseName(const std::wstring& executablePath, const PathStyle& style);

// A name that stays one folder: none of the characters that file names
// forbid (no separator, no drive or network start), no control character,
// and not made of dots and blanks alone ("." and ".." among them).
bool isOneFolderName(const std::wstring& name);

// <folder>\<Product Name>\<Product Code>\<base name>: the per-user file of
// an executable below the per-user settings folder. Empty when Product Code,
// or Product Name without its forbidden characters, is no single folder
// name (isOneFolderName), or when the full path would not lie below the
// folder: the file is then neither read nor written.
std::wstring userConfigPathFor(const std::wstring& settingsFolder, const std::wstring& productName,
                               const std::wstring& productCode, const std::wstring& executablePath,
                               const PathStyle& style);

// The paired launcher's path: "Pair Product" as configured, a relative one
// (with or without a leading separator) taken against the launcher's folder
// (which ends in a separator), never against the current directory.
std::wstring pairedLauncherPath(const std::wstring& pairProduct, const std::wstring& launcherFolder,
                                const PathStyle& style);

// Platform side.
// The running executable's full path, however long; on failure the error code.
bool queryModulePath(std::wstring& out, uint32_t& error);
// The folder that holds per-user settings files: on Windows %APPDATA% when
// it holds a full path, else the shell's roaming application-data folder.
// False where no per-user file is kept: Linux, and where no full path is
// known.
bool perUserSettingsFolder(std::wstring& folder);

}  // namespace tarn
