#include "run/start_gate.h"

namespace tarn {

bool StartGate::admitMain(JavaVM* vm) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (abandoned_) return false;
  vm_ = vm;
  return true;
}

JavaVM* StartGate::vmForStop() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (vm_ == nullptr) abandoned_ = true;
  return vm_;
}

}  // namespace tarn
