#include "run/service_status.h"

namespace tarn {

bool ServiceStatusBook::report(const std::function<void(ServiceStatusRecord&)>& change) {
  // Held across the send, so the manager gets the records in the order
  // they were made.
  LockHolder holder(lock_);
  if (stopped_) return false;
  // Kept only once the manager took it: an interrogation must not report
  // a state that never reached it.
  ServiceStatusRecord next = record_;
  change(next);
  if (!send_(next)) return false;
  record_ = next;
  stopped_ = record_.currentState == service::kStopped;
  return true;
}

bool ServiceStatusBook::reportRunning() {
  return report([](ServiceStatusRecord& record) {
    record.serviceType = service::kOwnProcess;
    record.currentState = service::kRunning;
    record.controlsAccepted = service::kAcceptStopAndShutdown;
    record.win32ExitCode = 0;
    record.serviceSpecificExitCode = 0;
    record.checkPoint = 0;
    record.waitHint = 0;
  });
}

bool ServiceStatusBook::reportStopPending() {
  return report([](ServiceStatusRecord& record) {
    record.currentState = service::kStopPending;
    record.win32ExitCode = 0;
    record.checkPoint = 0;
    record.waitHint = service::kStopWaitHint;
  });
}

bool ServiceStatusBook::reportStopped(uint32_t specificCode) {
  return report([specificCode](ServiceStatusRecord& record) {
    record.currentState = service::kStopped;
    record.win32ExitCode = specificCode == 0 ? 0 : service::kSpecificError;
    record.serviceSpecificExitCode = specificCode;
  });
}

bool ServiceStatusBook::reportAgain() {
  return report([](ServiceStatusRecord&) {});
}

ServiceStatusRecord ServiceStatusBook::last() const {
  LockHolder holder(lock_);
  return record_;
}

}  // namespace tarn
