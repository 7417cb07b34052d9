#pragma once
// The single-instance guard: one running copy per executable path and user
// (on Windows, per logon). A second start hands its arguments to the first
// one, whose main class gets them through its static "secondaryMain"
// (run/secondary_main.h), and ends with the answer. The arguments travel in
// the block of run/instance_block.h: on Windows shared memory, on Linux a
// message on a Unix-domain socket.

#include <jni.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tarn {

// How long a start waits for its turn to hand its arguments over (another
// start is handing its own over, or a process holds the lock), and then for
// the answer; and its exit code when it gives up on either.
inline constexpr uint32_t kInstanceWaitSeconds = 20;
inline constexpr int32_t kInstanceGaveUpExitCode = 1460;  // ERROR_TIMEOUT

class SingleInstanceGuard {
 public:
  SingleInstanceGuard();
  // Stops the listener and lets go of the shared block. Comes after the VM's
  // teardown, so the guard holds while the application's threads run on.
  ~SingleInstanceGuard();
  SingleInstanceGuard(const SingleInstanceGuard&) = delete;
  SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

  // Takes or finds the guard of `executable`. True: the start runs, as the
  // first instance or (a step of the set-up failed, or the objects under
  // the guard's names belong to another user) alone. False: it ends here
  // with exitCode: secondaryMain's integer result (0 for the void form); -1
  // when the arguments do not fit; the first instance's exit code when it
  // took the request and ended without answering (Linux: as far as it told
  // it before it ended; -1, after a message, when it could not);
  // kInstanceGaveUpExitCode,
  // after a message, when a wait ran out.
  bool admit(const std::wstring& executable, const std::vector<std::wstring>& arguments, int32_t& exitCode);

  // First instance: main is about to be called on `vm`; requests are served
  // from now on. threadsStayAttached: request threads do not detach either.
  void mainStarting(JavaVM* vm, const std::wstring& mainClass, bool threadsStayAttached);

  // First instance, Linux: the process's exit code as the run gave it; told
  // to requests left unanswered when the guard is let go.
  void runEnded(int32_t exitCode);

  struct State;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace tarn
