#include "run/start_gate.h"

namespace tarn {

bool StartGate::admitMain(JavaVM* vm, bool ibmRuntime) {
  LockHolder holder(lock_);
  if (abandoned_) return false;
  vm_ = vm;
  ibmRuntime_ = ibmRuntime;
  return true;
}

JavaVM* StartGate::vmForStop() {
  LockHolder holder(lock_);
  if (vm_ == nullptr) abandoned_ = true;
  return vm_;
}

}  // namespace tarn
