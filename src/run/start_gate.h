#pragma once
// Between the worker thread, which creates the VM, and a stop that may come
// at any time: the stop gets the VM once the main method may run, and a
// stop that comes first keeps the main method from running at all.

#include <jni.h>

#include "base/lock.h"

namespace tarn {

class StartGate {
 public:
  // The worker, once the VM exists. True: the main method may be called, and
  // later stops reach the VM. False: a stop came first. threadsStayAttached:
  // the stop's thread stays attached too.
  bool admitMain(JavaVM* vm, bool threadsStayAttached = false);
  // Known once main was admitted.
  bool threadsStayAttached() const { return threadsStayAttached_; }
  // A stop: the VM to ask to stop, or null when the main method has not been
  // admitted yet; the start is then abandoned (admitMain answers false).
  JavaVM* vmForStop();

 private:
  Lock lock_;
  JavaVM* vm_ = nullptr;
  bool abandoned_ = false;
  bool threadsStayAttached_ = false;
};

}  // namespace tarn
