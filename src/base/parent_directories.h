#pragma once
// The folder walk behind ensureParentDirectories, with the path rules and the
// file system passed in, so the Windows rules run in native tests too.

#include <cstdint>
#include <string>
#include <vector>

#include "base/path.h"

namespace tarn {

// The root followed by the components. With Windows forms: "C:\a\out.log"
// gives "C:", "a", "out.log"; "\\?\C:\a\out.log" gives "\\?\C:", "a",
// "out.log"; "\\srv\share\out.log" gives "\\srv", "share", "out.log"; a
// relative "a\b.log" gives "a", "b.log". A path that starts with a separator
// (and is not a network path) has an empty root: "\logs\out.log" gives "",
// "logs", "out.log", so the folders are made under the root of the drive.
// An empty path gives an empty list.
std::vector<std::wstring> splitPathForCreation(const std::wstring& path, const PathStyle& style);

class FolderOperations {
 public:
  enum class Outcome { Created, AlreadyExists, Failed };

  virtual ~FolderOperations() = default;
  virtual bool exists(const std::wstring& path) = 0;
  // `error` is set to the platform's error code when the outcome is Failed.
  virtual Outcome createFolder(const std::wstring& path, uint32_t& error) = 0;
  virtual void removeFolder(const std::wstring& path) = 0;
};

// Makes every missing folder above the file `path`:
// - an absolute path that already exists is left alone (0);
// - the first directory of a relative path is made too; a drive, a long-path
//   prefix, a server and the root itself are never made;
// - on a network path (\\server\share\... or \\?\UNC\server\share\...) the
//   server and share levels cannot be made, so failures there are passed
//   over and the walk goes on; elsewhere the walk stops at the first failure;
// - with Windows forms a folder whose name ends in a dot or a space is not
//   made (Windows would make it without them, under another name): the walk
//   stops there with ERROR_INVALID_NAME;
// - a failed walk removes again, innermost first, the folders it made.
// Returns 0 when the last folder of the walk was made or was already there,
// otherwise the error of that folder.
uint32_t createParentFolders(const std::wstring& path, const PathStyle& style,
                             FolderOperations& folders);

}  // namespace tarn
