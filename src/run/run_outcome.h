#pragma once
// What a run ended with, beyond the exit code: which step failed, for a host
// that reports more than an exit code (the service host).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tarn {

class StartGate;

enum class RunFailure {
  None,        // the run went its way (the main method was called, or a sibling ran)
  NoRuntime,   // no Java runtime was found
  JvmLibrary,  // the JVM library could not be loaded or lacks an entry point
  VmCreation,  // the VM refused to be created
  NoClassPath,  // no class path resulted: the VM was not created (the message written)
  MainClass,   // the main class or its main method could not be run
  Abandoned,   // a stop came before the main method was called
};

struct RunOutcome {
  int32_t exitCode = -1;
  RunFailure failure = RunFailure::None;
};

// What a host hands to the rest of the start.
struct HostedRun {
  // Appended to the command line's arguments, before those the
  // configuration adds.
  std::vector<std::wstring> extraArguments;
  // When set, the worker asks it before the main method is called.
  StartGate* gate = nullptr;
  // Added to the VM's options after the configured ones.
  std::vector<std::string> vmOptions;
};

// The rest of the start, run by a host (the service host, or the launcher
// itself on the calling thread): the runtime choice and the run.
using HostedRunner = std::function<RunOutcome(const HostedRun& hosted)>;

}  // namespace tarn
