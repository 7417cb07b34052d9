#pragma once
// Names in a folder, and the folders above a file made.

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

struct FolderFile {
  std::wstring name;
  uint64_t modified = 0;  // last write, in a unit of the platform's that orders them
};

// The files of a folder (not its folders), in the order the file system
// returns them; none when it cannot be read.
std::vector<FolderFile> filesInFolder(const std::wstring& folder);

// False when the file could not be removed (read-only, held open, gone).
bool removeFile(const std::wstring& path);

}  // namespace tarn
