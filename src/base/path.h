#pragma once
// Path text by the rules of either platform, so that the Windows rules are
// tested natively too, and the few file-system questions every room asks.

#include <string>

namespace tarn {

struct PathStyle {
  wchar_t separator;      // between the components of a path
  wchar_t listSeparator;  // between the entries of the class path and of the search path
  // Windows forms: drive letters, "\\server\share" network paths and the
  // "\\?\" long-path prefix. The configuration file's name replaces the last
  // "." of the whole path (and there is none without one); on POSIX it
  // replaces the last "." of the file name, or ".ini" is appended.
  bool windowsForms;
  const wchar_t* searchPathVariable;  // "Path" or "PATH"
  // The most characters an environment variable's value holds; 0 for no
  // limit. Windows cuts a longer value, or refuses it.
  size_t longestVariableValue;
};

constexpr PathStyle kWindowsPathStyle{L'\\', L';', true, L"Path", 32766};
constexpr PathStyle kPosixPathStyle{L'/', L':', false, L"PATH", 0};
const PathStyle& nativePathStyle();

// Windows: a drive ("C:", "C:x" too) or a network start ("\\"); POSIX: a
// leading "/". With `rootedDrive`, a drive must be followed by its root
// ("C:\"): "C:x" is taken against that drive's current directory.
bool isAbsolutePath(const std::wstring& path, const PathStyle& style, bool rootedDrive = false);

// The path without its last `count` components; a path without a separator
// stays as it is.
std::wstring stripPathComponents(const std::wstring& path, int count, wchar_t separator);

// The last component: the text after the last separator (with Windows forms
// also after a "/" or a drive's ":"), or the whole path without one.
std::wstring fileNameOf(const std::wstring& path, const PathStyle& style);

// A file name without its extension, the text from its last "." on; a name
// whose only "." leads it (".profile") stays whole.
std::wstring withoutExtension(const std::wstring& name);

// The text before the last separator, or the empty string without one.
std::wstring parentFolder(const std::wstring& path, wchar_t separator);

// The folder with a separator appended when it does not end in one; an
// empty folder stays empty.
std::wstring withTrailingSeparator(const std::wstring& folder, wchar_t separator);

// The form in which a full Windows path of any length reaches the file
// system: a path of 260 or more characters gets the "\\?\" prefix, a
// network path "\\?\UNC\server\share\..."; shorter, prefixed and device
// (\\.\...) paths stay.
std::wstring withLongPathPrefix(const std::wstring& fullPath);

// Platform side.
// The path made full against the current directory (Windows also resolves
// "." and ".." and takes "C:x" against that drive's current directory); the
// path as it is when the system cannot make it full.
std::wstring absolutePath(const std::wstring& path);

// Both paths name the same existing file (by the file system's identity of
// the file, whatever the spelling of the paths); false when either is missing.
bool isSameFile(const std::wstring& a, const std::wstring& b);

// A directory search finds an entry for the path: folders count, and
// wildcards in the last component are honoured on Windows. Paths of any
// length.
bool pathExists(const std::wstring& path);

// The path names a file that is not a folder. Paths of any length.
bool isFile(const std::wstring& path);

// The first `limit` bytes of a regular file, or all of a shorter one
// (SIZE_MAX: the whole file, as long as it was when opened); false when the
// path names no regular file or it cannot be read.
bool readFileStart(const std::wstring& path, size_t limit, std::string& bytes);

}  // namespace tarn
