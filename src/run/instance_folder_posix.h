#pragma once
// Linux: the folder that holds the single-instance guard's lock file and
// socket. Only the user may open it, so that no other user can put a socket
// or a lock in the guard's place.

#include <string>

namespace tarn {

// "<runtimeDirectory>/tarn" when runtimeDirectory (the value of
// XDG_RUNTIME_DIR, or null) is an absolute path of a folder of the user's
// own that no one else may open; else "<sharedTemporary>/tarn-<uid>". The
// folder is made (mode 0700) when it is missing, and given only when it is
// a folder, not a link, owned by the process's effective user, with no
// access for group or others. Empty when neither is.
std::string privateInstanceFolder(const char* runtimeDirectory, const std::string& sharedTemporary);

}  // namespace tarn
