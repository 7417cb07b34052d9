#include "run/start_gate.h"

namespace tarn {

bool StartGate::admitMain(JavaVM* vm, bool threadsStayAttached) {
  LockHolder holder(lock_);
  if (abandoned_) return false;
  vm_ = vm;
  threadsStayAttached_ = threadsStayAttached;
  return true;
}

JavaVM* StartGate::vmForStop() {
  LockHolder holder(lock_);
  if (vm_ == nullptr) abandoned_ = true;
  return vm_;
}

}  // namespace tarn
