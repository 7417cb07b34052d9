#pragma once
// Handing the whole start to the paired launcher of the other processor
// width ("Pair Product"), which receives this process's own command line.

#include <cstdint>
#include <string>

#include "base/path.h"

namespace tarn {

// This process was started by its paired launcher. Read once at start-up;
// the mark is then removed from the environment, so that the application's
// own child processes do not inherit it.
bool takeStartedBySiblingMark();

// Starts the paired launcher and, with "Pair Return Code", waits for it and
// returns its exit code; otherwise 0 once it runs. Refuses, with the message
// written and -1, a paired launcher that is this launcher's own file, a
// hand-over by a process that its paired launcher started (the two would
// hand the start to and fro for ever), and a paired launcher that cannot be
// started.
int32_t handOverToSibling(const std::wstring& sibling, const std::wstring& ownExecutable, bool pairReturnCode,
                          bool startedBySibling);

// Platform side.
// Starts the program with this process's command line and the mark in its
// environment; exitCode is its exit code when `wait`, else 0. False, with
// the platform's error code, when it cannot be started.
bool startSibling(const std::wstring& sibling, bool wait, int32_t& exitCode, uint32_t& error);

}  // namespace tarn
