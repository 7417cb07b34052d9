#pragma once
// The status a service reports to the service control manager, kept in one
// place so that the threads that report (the service's own, the control
// handler's, the VM's exit hook) never interleave, and once the service has
// been reported stopped nothing else is.

#include <cstdint>
#include <functional>

#include "base/lock.h"

namespace tarn {

// The values of the Windows SERVICE_STATUS record, in its order.
struct ServiceStatusRecord {
  uint32_t serviceType = 0;
  uint32_t currentState = 0;
  uint32_t controlsAccepted = 0;
  uint32_t win32ExitCode = 0;
  uint32_t serviceSpecificExitCode = 0;
  uint32_t checkPoint = 0;
  uint32_t waitHint = 0;
};

namespace service {
constexpr uint32_t kOwnProcess = 0x10;
constexpr uint32_t kStopped = 1;
constexpr uint32_t kStopPending = 3;
constexpr uint32_t kRunning = 4;
constexpr uint32_t kAcceptStopAndShutdown = 5;
constexpr uint32_t kStopWaitHint = 3000;
constexpr uint32_t kSpecificError = 1066;  // ERROR_SERVICE_SPECIFIC_ERROR
}  // namespace service

class ServiceStatusBook {
 public:
  // Hands one record to the manager; false when it refused it.
  using Sender = std::function<bool(const ServiceStatusRecord&)>;
  explicit ServiceStatusBook(Sender send) : send_(std::move(send)) {}

  // Each sends the last record with the changes it names, and keeps it once
  // the sender took it. False when the sender refused it (the last record
  // stays as it was), or when stopped was reported before (nothing is sent).
  bool reportRunning();
  bool reportStopPending();
  // Win32 exit code 0, or ERROR_SERVICE_SPECIFIC_ERROR with a specific code
  // when the specific code is not 0.
  bool reportStopped(uint32_t specificCode);
  // The last record the sender took, again (an interrogate control).
  bool reportAgain();

  // The last record the sender took.
  ServiceStatusRecord last() const;

 private:
  bool report(const std::function<void(ServiceStatusRecord&)>& change);

  Sender send_;
  mutable Lock lock_;
  ServiceStatusRecord record_;
  bool stopped_ = false;
};

}  // namespace tarn
