#include "run/systemd_service_posix.h"

#include <fcntl.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "base/error_output.h"
#include "base/text_output_posix.h"
#include "run/java_stop.h"
#include "run/service_run.h"

namespace tarn {
namespace {

// The handler's end of the pipe the stop thread reads: a handler has no
// other way to reach it.
int signalsWrite = -1;

void onStopSignal(int) {
  const int saved = errno;
  const char byte = 1;
  // A full pipe already holds a stop to be read.
  if (write(signalsWrite, &byte, 1) < 0) {
  }
  errno = saved;
}

// A handler rather than a blocked mask and sigwait: a mask would be
// inherited by the application's child processes across exec, and they
// would no longer end at systemd's SIGTERM.
bool catchStopSignals() {
  struct sigaction action {};
  action.sa_handler = &onStopSignal;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  return sigaction(SIGTERM, &action, nullptr) == 0 && sigaction(SIGINT, &action, nullptr) == 0;
}

void defaultStopSignals() {
  signal(SIGTERM, SIG_DFL);
  signal(SIGINT, SIG_DFL);
}

void writeToStandardError(const std::wstring& line) { writeTextToDescriptor(STDERR_FILENO, line); }

void* watchStopsThread(void* service) {
  static_cast<SystemdService*>(service)->watchStops();
  return nullptr;
}

}  // namespace

SystemdService::SystemdService(const Settings& settings)
    : mainClass_(settings.mainClass), notifier_(getenv("NOTIFY_SOCKET")) {
  pthread_mutex_init(&mutex_, nullptr);
  pthread_cond_init(&changed_, nullptr);
}

// The stop thread may still wait on the pipe: the object lives until the
// process ends (the platform steps hold it to the end).
SystemdService::~SystemdService() = default;

int32_t SystemdService::run(const HostedRunner& rest) {
  // The journal takes standard error as the service's messages.
  setErrorSink(&writeToStandardError);
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) == 0) {
    signalsRead_ = ends[0];
    signalsWrite = ends[1];
    fcntl(signalsWrite, F_SETFL, O_NONBLOCK);
    pthread_t thread;
    if (pthread_create(&thread, nullptr, &watchStopsThread, this) == 0) {
      pthread_detach(thread);
      catchStopSignals();
    }
  }
  HostedRun hosted;
  hosted.gate = &gate_;
  hosted.vmOptions.push_back("-Xrs");
  const RunOutcome outcome = rest(hosted);
  if (!stopCallsEnd(kStopReturnBoundMs)) _exit(static_cast<int>(kStopNotReturnedCode));
  return static_cast<int32_t>(serviceSpecificCode(outcome.failure));
}

void SystemdService::mainStarting() { notifier_.send("READY=1"); }

void SystemdService::watchStops() {
  for (;;) {
    char byte = 0;
    const ssize_t got = read(signalsRead_, &byte, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return;
    stop();
  }
}

void SystemdService::stop() {
  pthread_mutex_lock(&mutex_);
  const bool finished = finished_;
  const bool first = !stopSent_;
  if (!finished) {
    stopCallRunning_ = true;
    stopSent_ = true;
  }
  pthread_mutex_unlock(&mutex_);
  if (finished) return;
  if (first) notifier_.send("STOPPING=1");
  // Before main, the start is abandoned here and main never runs.
  JavaVM* vm = gate_.vmForStop();
  if (vm != nullptr) callJavaStop(vm, mainClass_, !gate_.threadsStayAttached());
  pthread_mutex_lock(&mutex_);
  stopCallRunning_ = false;
  pthread_cond_broadcast(&changed_);
  pthread_mutex_unlock(&mutex_);
}

bool SystemdService::stopCallsEnd(uint32_t boundMs) {
  timespec deadline;
  clock_gettime(CLOCK_REALTIME, &deadline);
  deadline.tv_sec += boundMs / 1000;
  deadline.tv_nsec += static_cast<long>(boundMs % 1000) * 1000000;
  if (deadline.tv_nsec >= 1000000000) {
    deadline.tv_sec += 1;
    deadline.tv_nsec -= 1000000000;
  }
  pthread_mutex_lock(&mutex_);
  finished_ = true;
  while (stopCallRunning_) {
    if (pthread_cond_timedwait(&changed_, &mutex_, &deadline) == ETIMEDOUT) break;
  }
  const bool ended = !stopCallRunning_;
  pthread_mutex_unlock(&mutex_);
  // Main has returned: the service has stopped, and a signal now ends the
  // process while the application's other threads finish.
  if (ended) defaultStopSignals();
  return ended;
}

}  // namespace tarn
