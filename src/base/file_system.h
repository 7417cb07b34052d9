#pragma once
// Names in a folder, the folders above a file made, and the few whole-file
// operations of the class data archive.

#include <cstdint>
#include <string>
#include <vector>

namespace tarn {

// The names in the pattern's folder that its last component matches
// (wildcards * and ?), in the order the file system returns them.
std::vector<std::wstring> matchingNames(const std::wstring& pattern);

// Creates the missing folders above the file `path` (rules in
// parent_directories.h). 0 on success, otherwise the platform error code of
// the folder that could not be made; the folders this call made are removed
// again when it fails.
uint32_t ensureParentDirectories(const std::wstring& path);

// The size in bytes and the last-write time (in the platform's own unit) of
// a file; false when the path names none or it cannot be read.
bool fileSizeAndTime(const std::wstring& path, uint64_t& size, uint64_t& time);

// Makes an empty file where none exists; false when one exists or the
// folder cannot be written.
bool createNewFile(const std::wstring& path);

// Puts `from` in the place of `to` in one step, replacing a file there;
// false, both files as they were, when the system refuses.
bool replaceFile(const std::wstring& from, const std::wstring& to);

// False when the file stays (missing, in use or protected).
bool removeFile(const std::wstring& path);

// The bytes this user may still write on the volume that holds `folder`;
// 0 when the system cannot tell.
uint64_t freeBytesAt(const std::wstring& folder);

// The number that tells this process from the others running.
uint32_t currentProcessId();

struct FolderFile {
  std::wstring name;
  uint64_t modified = 0;  // last write, in a unit of the platform's that orders them
};

// The files of a folder (not its folders), in the order the file system
// returns them; none when it cannot be read.
std::vector<FolderFile> filesInFolder(const std::wstring& folder);

}  // namespace tarn
