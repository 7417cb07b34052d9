#pragma once
// Finds whether a process id recorded by another start still names a
// running copy of this launcher: the id may be stale (its process ended,
// the number reused by another program) or written by another program.
#include <windows.h>

#include "base/scoped_handle_win.h"

namespace tarn {

// A handle to the process (SYNCHRONIZE and limited query access) while it
// runs from the same executable file as this process; none when it has
// ended, cannot be opened, or runs another file. The file is compared by
// volume and file index, so another spelling of its path still matches.
ScopedKernelHandle openRunningCopy(DWORD processId);

}  // namespace tarn
