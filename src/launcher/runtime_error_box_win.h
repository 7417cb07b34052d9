#pragma once
// A windowless launcher started without a standard error (from Explorer, a
// shortcut) would lose what the runtime itself writes there: "Error: Could
// not find or load main class ..." from the JDK's launcher helper, or the
// trace of an exception that ended main. While the VM runs, standard error
// is then a pipe that a thread drains into memory, and such a failure shows
// the first lines in a message box titled with the executable's name. The
// exit codes stay as they are.
#include <windows.h>

#include <cstdint>
#include <string>

#include "base/scoped_handle_win.h"
#include "jni/jvm_hook_listener.h"

namespace tarn {

// A windowless launcher without a standard error, where a person could
// see a box.
bool runtimeErrorsWouldBeLost();

// Shows the text: in a message box titled with the executable's name.
void showRuntimeErrorBox(const std::wstring& text);

class RuntimeErrorBox : public JvmHookListener {
 public:
  using Show = void (*)(const std::wstring& text);
  explicit RuntimeErrorBox(Show show = &showRuntimeErrorBox) : show_(show) {}
  ~RuntimeErrorBox() override;
  RuntimeErrorBox(const RuntimeErrorBox&) = delete;
  RuntimeErrorBox& operator=(const RuntimeErrorBox&) = delete;

  // Before the VM is created: standard error becomes the pipe, and this
  // box receives the VM's exit hook. False when no pipe could be made.
  bool start();
  // Main is about to be called: an exit from here on is the application's.
  void mainStarting() { mainStarted_ = true; }
  // The run has ended; `failed` says whether the runtime's text explains a
  // failure (main could not be run, or it ended with an exception).
  void finish(bool failed);

  // System.exit before main: the launcher helper's own end after its message.
  void onJvmExit(jint code) override { finish(code != 0 && !mainStarted_); }
  void onJvmAbort() override {}

 private:
  static DWORD WINAPI drain(void* parameter);
  std::wstring capturedText();

  Show show_;
  ScopedKernelHandle read_;
  ScopedKernelHandle write_;
  ScopedKernelHandle reader_;
  ScopedKernelHandle caughtUp_;  // set when the reader has read the box's mark
  HANDLE original_ = nullptr;  // standard error before the capture
  SRWLOCK lock_ = SRWLOCK_INIT;
  std::string captured_;  // the bytes as written, in the system's code page
  bool mainStarted_ = false;
  bool finished_ = false;
};

}  // namespace tarn
