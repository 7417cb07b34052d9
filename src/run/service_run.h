#pragma once
// The portable rules of running as a service: the arguments the service
// control manager adds, the service-specific exit code of a failed run, and
// the file beside the executable that takes the launcher's messages.

#include <cstdint>
#include <string>
#include <vector>

#include "base/local_time.h"
#include "run/run_outcome.h"

namespace tarn {

// ServiceMain's arguments, the service's name first: all of them, or
// without the name when "Omit Service Name" is set.
std::vector<std::wstring> serviceArguments(const std::vector<std::wstring>& fromManager, bool omitServiceName);

// The service-specific exit code reported for the way a run ended; 0 for a
// run that went its way or was stopped before the main method.
//   1 no Java runtime found            2 the JVM library cannot be used
//   3 the Java VM could not be created 4 the main class could not be run
uint32_t serviceSpecificCode(RunFailure failure);

// When the main method has ended and a call of the main class's stop() has
// still not returned this long after, the service is reported stopped with
// this specific code and the process ends (exit code -1) without the VM's
// teardown, which would wait for that call for ever.
constexpr uint32_t kStopReturnBoundMs = 10000;
constexpr uint32_t kStopNotReturnedCode = 5;

// Beside the configuration file, named like it: run.ini gives
// run.service.log (a name without ".ini" gets ".service.log" appended).
std::wstring serviceLogPath(const std::wstring& configFile);

// The file is bounded: when a line would take it past this size, the file
// becomes the previous one (the path with ".1" added, replacing an older
// one) and the line starts a new file. So at most twice the size is kept.
inline constexpr uint64_t kServiceLogLimit = 1024 * 1024;
bool serviceLogIsFull(uint64_t size, uint64_t adding);
std::wstring previousServiceLogPath(const std::wstring& logPath);

// A line of that file: the local time, "YYYY-MM-DD hh:mm:ss ", then the text.
std::wstring serviceLogLine(const LocalTime& time, const std::wstring& text);

}  // namespace tarn
