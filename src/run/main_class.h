#pragma once
// Finding the main class and calling its "main" on the worker thread.

#include <jni.h>

#include <functional>
#include <string>
#include <vector>

#include "jni/class_lookup.h"

namespace tarn {

// "Failure Check": given the stack trace of the exception that ended main,
// asks whether the application stops; true stops it.
using StopQuestion = bool (*)(const std::wstring& trace);

struct MainClassCall {
  JavaVM* vm = nullptr;
  JNIEnv* env = nullptr;
  // The library's boot-loader lookup, when it has one.
  FindClassFromBootLoaderFunction findClassFromBootLoader = nullptr;
  std::wstring mainClass;  // with "/" between the package names
  std::vector<std::wstring> arguments;
  // "Failure Check": an exception out of main is put to it. Null: the
  // exception is left to the VM, as when no one can be asked.
  StopQuestion askToStop = nullptr;
  // The thread stays attached and parked after main returns, so that the
  // application ends only through System.exit or from outside.
  bool threadsStayAttached = false;
  // Called right before main, when set.
  std::function<void()> beforeMain;
};

enum class MainOutcome {
  NotCalled,  // main was not reached, or the thread could not detach
  Returned,
  Threw,      // main ended with an exception, which the VM describes at the detach
  Stopped,    // main ended with an exception, the answer was to stop, and System.exit(-1) returned
};

// Loads the class, calls main with the arguments and detaches the thread
// (also after a failure).
MainOutcome runMainClass(const MainClassCall& call);

// runMainClass with the step that parks the thread: it does not return in
// the launcher (a test passes one that does, and the run then ends as
// NotCalled, without detaching).
MainOutcome runMainClassWith(const MainClassCall& call, void (*sleepForever)());

// Platform step (main_class_win.cpp, main_class_posix.cpp): blocks the
// calling thread for ever.
void sleepForever();

}  // namespace tarn
