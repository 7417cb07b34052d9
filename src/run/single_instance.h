#pragma once
// The single-instance guard (Windows): one running copy per executable path
// and logon. A second start hands its arguments to the first one, whose
// main class gets them through its static "secondaryMain", and ends with the
// answer. The block the two share is laid out in run/instance_block.h.

#include <jni.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tarn {

enum class InstanceRole {
  Alone,   // no guard: a step of the set-up failed; the start runs as usual
  First,   // this process holds the guard and serves requests
  Second,  // another process holds it: hand the arguments over
};

class SingleInstanceGuard {
 public:
  SingleInstanceGuard();
  // Stops the listener and lets go of the shared block. Comes after the VM's
  // teardown, so the guard holds while the application's threads run on.
  ~SingleInstanceGuard();
  SingleInstanceGuard(const SingleInstanceGuard&) = delete;
  SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

  // Takes or finds the guard named objectName (instanceObjectName).
  InstanceRole setUp(const std::wstring& objectName);

  // Second instance: hands the arguments to the first and waits for its
  // answer. The exit code: secondaryMain's integer result (0 for the void
  // form); -1 when the arguments do not fit or the request cannot be posted;
  // 0 when the first instance cannot be opened; its exit code when it ends
  // without answering.
  int32_t handOver(const std::vector<std::wstring>& arguments);

  // First instance: main is about to be called on `vm`; requests are served
  // from now on. stayAttached: request threads do not detach (an IBM
  // runtime, whose main thread stays attached too).
  void mainStarting(JavaVM* vm, const std::wstring& mainClass, bool stayAttached);

  struct State;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace tarn
