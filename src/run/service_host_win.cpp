#include <windows.h>

#include <utility>
#include <vector>

#include "base/error_output.h"
#include "base/lock.h"
#include "base/scoped_handle_win.h"
#include "base/text.h"
#include "jni/jvm_hook_listener.h"
#include "run/java_stop.h"
#include "run/service_host.h"
#include "run/service_run.h"
#include "run/service_status.h"
#include "run/start_gate.h"

namespace tarn {
namespace {

// One per process, reached by the Windows callbacks, which carry no
// context. It is never freed: a stop thread may outlast the dispatcher.
class ServiceHost : public JvmHookListener {
 public:
  ServiceHost(const Settings& settings, const LauncherPaths& paths, HostedRunner run)
      : run_(std::move(run)),
        mainClass_(settings.mainClass),
        omitServiceName_(settings.omitServiceName),
        logPath_(serviceLogPath(paths.configFile)),
        status_([this](const ServiceStatusRecord& record) { return send(record); }) {}

  const std::wstring& logPath() const { return logPath_; }

  void serviceMain(const std::vector<std::wstring>& arguments);
  void onControl(DWORD control);
  void callStop(JavaVM* vm) {
    // Known since the gate gave out the VM: set when main was admitted.
    callJavaStop(vm, mainClass_, !gate_.threadsStayAttached());
    stopCallEnded();
  }

  // The VM ends the process: with 0 that is the service's normal end.
  void onJvmExit(jint code) override {
    if (code == 0) status_.reportStopped(0);
  }
  void onJvmAbort() override {}

 private:
  bool send(const ServiceStatusRecord& record) {
    SERVICE_STATUS status{record.serviceType, record.currentState, record.controlsAccepted, record.win32ExitCode,
                          record.serviceSpecificExitCode, record.checkPoint, record.waitHint};
    return SetServiceStatus(handle_, &status) != FALSE;
  }

  void stopCallBegins() {
    LockHolder holder(stopCallsLock_);
    if (stopCallsRunning_++ == 0) ResetEvent(noStopCallRunning_.get());
  }
  void stopCallEnded() {
    LockHolder holder(stopCallsLock_);
    if (--stopCallsRunning_ == 0) SetEvent(noStopCallRunning_.get());
  }
  // True once no stop() is running, false when one still is after the bound.
  bool stopCallsEnd(DWORD boundMs) {
    // Without the event nothing can be told; the teardown goes as usual.
    if (!noStopCallRunning_) return true;
    return WaitForSingleObject(noStopCallRunning_.get(), boundMs) == WAIT_OBJECT_0;
  }

  HostedRunner run_;
  std::wstring mainClass_;
  bool omitServiceName_;
  std::wstring logPath_;
  SERVICE_STATUS_HANDLE handle_ = nullptr;
  ServiceStatusBook status_;
  StartGate gate_;
  Lock stopCallsLock_;
  int stopCallsRunning_ = 0;
  // Manual reset, set while no stop thread is inside callStop.
  ScopedKernelHandle noStopCallRunning_{CreateEventW(nullptr, TRUE, TRUE, nullptr)};
};

ServiceHost* host = nullptr;

void WINAPI controlHandler(DWORD control) { host->onControl(control); }

DWORD WINAPI stopThread(void* vm) {
  host->callStop(static_cast<JavaVM*>(vm));
  return 0;
}

void ServiceHost::serviceMain(const std::vector<std::wstring>& arguments) {
  // An own-process service may register under the empty name.
  handle_ = RegisterServiceCtrlHandlerW(L"", controlHandler);
  if (handle_ == nullptr) return;
  if (!status_.reportRunning()) return;
  HostedRun hosted;
  hosted.extraArguments = serviceArguments(arguments, omitServiceName_);
  hosted.gate = &gate_;
  const RunOutcome outcome = run_(hosted);
  if (!stopCallsEnd(kStopReturnBoundMs)) {
    // The main method has ended but stop() has not returned: the VM's
    // teardown would wait for that thread for ever, with the service
    // reported stopped and its process still there. It ends here instead.
    status_.reportStopped(kStopNotReturnedCode);
    ExitProcess(static_cast<UINT>(-1));
  }
  status_.reportStopped(serviceSpecificCode(outcome.failure));
}

void ServiceHost::onControl(DWORD control) {
  if (control == SERVICE_CONTROL_STOP || control == SERVICE_CONTROL_SHUTDOWN) {
    // Once stopped has been reported there is nothing left to stop.
    if (!status_.reportStopPending()) return;
    // Asked here rather than on the stop thread, so that a stop before the
    // VM exists has abandoned the start by the time the control returns.
    JavaVM* vm = gate_.vmForStop();
    if (vm == nullptr) return;
    stopCallBegins();
    ScopedKernelHandle thread(CreateThread(nullptr, 0, stopThread, vm, 0, nullptr));
    if (!thread) stopCallEnded();
    return;
  }
  status_.reportAgain();
}

void WINAPI serviceMain(DWORD argc, LPWSTR* argv) {
  std::vector<std::wstring> arguments;
  for (DWORD i = 0; i < argc; ++i) arguments.emplace_back(argv[i]);
  host->serviceMain(arguments);
}

// The service has no console: its messages are appended to the file beside
// the executable, each line after the local time.
void appendToServiceLog(const std::wstring& line) {
  const LocalTime time = currentLocalTime();
  // The messages end their lines in a bare line feed; the file is for
  // Windows tools.
  std::wstring text;
  for (wchar_t c : serviceLogLine(time, line)) {
    if (c == L'\n' && (text.empty() || text.back() != L'\r')) text += L'\r';
    text += c;
  }
  const std::string bytes = toUtf8(text);
  const std::wstring& path = host->logPath();
  auto open = [&path] {
    return CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  ScopedFileHandle file(open());
  if (!file) return;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file.get(), &size) && serviceLogIsFull(static_cast<uint64_t>(size.QuadPart), bytes.size())) {
    file.reset();
    // When the file cannot be moved (another program holds it without
    // sharing), the line is appended all the same.
    MoveFileExW(path.c_str(), previousServiceLogPath(path).c_str(), MOVEFILE_REPLACE_EXISTING);
    file.reset(open());
    if (!file) return;
  }
  DWORD written = 0;
  WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace

int32_t runServiceDispatcher(const Settings& settings, const LauncherPaths& paths, HostedRunner run) {
  host = new ServiceHost(settings, paths, std::move(run));
  setJvmHookListener(host);
  setErrorSink(&appendToServiceLog);
  SERVICE_TABLE_ENTRYW table[] = {{const_cast<wchar_t*>(L""), serviceMain}, {nullptr, nullptr}};
  if (StartServiceCtrlDispatcherW(table)) return 0;
  const DWORD error = GetLastError();
  // Not a service after all: nothing of it stays installed.
  setErrorSink(nullptr);
  setJvmHookListener(nullptr);
  return static_cast<int32_t>(error);
}

}  // namespace tarn
