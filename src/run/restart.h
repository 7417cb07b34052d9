#pragma once
// Starting the application again when it ends through System.exit with one
// of the Restart Exit Code values. A process cannot create a second VM, so
// the launcher runs itself again: the same command line, the working folder
// and environment it was started with, and a mark in the environment that
// carries the count of restarts to the new process.

#include <cstdint>
#include <string>
#include <vector>

namespace tarn {

// At most this many restarts within one window of seconds; the count starts
// again in the window after.
inline constexpr uint32_t kRestartsPerWindow = 5;
inline constexpr uint64_t kRestartWindowSeconds = 60;

struct RestartRecord {
  uint32_t restarts = 0;      // since the first start
  uint64_t windowStart = 0;   // seconds of a system-wide clock that only goes forward
  uint32_t inWindow = 0;      // restarts since windowStart
};

// The mark's text: "restarts:windowStart:inWindow". Text that is no record
// gives a first start at `now`.
std::wstring restartRecordText(const RestartRecord& record);
RestartRecord readRestartRecord(const std::wstring& text, uint64_t now);

enum class RestartVerdict { NotListed, Restart, Bounded };

// What an exit with `code` at `now` leads to; on Restart, `next` is the
// record the new process receives.
RestartVerdict decideRestart(const std::vector<int32_t>& codes, int32_t code, const RestartRecord& previous,
                             uint64_t now, RestartRecord& next);

// Once, first thing at start-up: reads the mark and removes it (the
// application's own child processes must not inherit it), and keeps the
// working folder and environment for a restart. The count of restarts.
uint32_t takeRestartMark();

// The property the application reads the count from.
inline constexpr char kRestartCountProperty[] = "-Dtarn.restart.count=";

// From now on an exit through System.exit with one of `codes` starts the
// launcher at `executable` again (see above); past the bound the message is
// written and the process ends with the code.
void restartOnExitCodes(const std::vector<int32_t>& codes, const std::wstring& executable);

// Platform side.
// Before anything changes them: the working folder and the environment.
void keepStartState();
// Runs the executable again with the command line and kept state, `mark`
// (NAME=value) added to the environment. Linux replaces the process and
// returns only when that fails; Windows waits for the new process and gives
// its exit code. False with the platform's error code when it cannot start.
bool startAgain(const std::wstring& executable, const std::wstring& mark, int32_t& exitCode, uint32_t& error);
// Ends the process at once with the code.
[[noreturn]] void endProcess(int32_t exitCode);
// Linux: the argument vector main received, as it is; Windows reads its
// command line from the system and ignores this.
void keepArgumentVector(char** argv);

}  // namespace tarn
