#pragma once
// Linux: running the Java application as a systemd service. SIGTERM and
// SIGINT ask the main class's static stop() to end the application, as a
// stop control does on Windows; the service's state goes to systemd's
// notify socket when the unit gives one (Type=notify).

#include <pthread.h>

#include <cstdint>
#include <string>

#include "config/settings.h"
#include "run/run_outcome.h"
#include "run/start_gate.h"
#include "run/systemd_notify_posix.h"

namespace tarn {

class SystemdService {
 public:
  explicit SystemdService(const Settings& settings);
  ~SystemdService();
  SystemdService(const SystemdService&) = delete;
  SystemdService& operator=(const SystemdService&) = delete;

  // Runs the rest of the start as the service and gives the process's exit
  // status: 0 once main has returned (or a stop came before it), else the
  // code of serviceSpecificCode for the step that failed, its message on
  // standard error. From here on a SIGTERM or SIGINT calls stop() on a
  // thread of its own, attached to the VM, and sends STOPPING=1; the VM is
  // created with -Xrs so that it leaves these signals alone. Once main has
  // returned they end the process as usual; when a stop() call has not
  // returned kStopReturnBoundMs after that, the process ends at once with
  // kStopNotReturnedCode.
  int32_t run(const HostedRunner& rest);

  // On the worker thread, right before main: READY=1.
  void mainStarting();

  // The thread that turns signals into stop() calls.
  void watchStops();

 private:
  void stop();
  // Main has ended: no more stop() calls. False when one still runs after
  // the bound.
  bool stopCallsEnd(uint32_t boundMs);

  std::wstring mainClass_;
  SystemdNotifier notifier_;
  StartGate gate_;
  pthread_mutex_t mutex_;
  pthread_cond_t changed_;
  // Under the mutex.
  bool finished_ = false;
  bool stopCallRunning_ = false;
  bool stopSent_ = false;
  int signalsRead_ = -1;
};

}  // namespace tarn
