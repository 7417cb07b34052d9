#pragma once
// A lock for the few places where two threads meet (the service's status,
// the start gate). The C++ library's std::mutex would bring its thread
// library and exception machinery into the static Windows executables.

#include <cstddef>

namespace tarn {

class Lock {
 public:
  Lock();
  ~Lock();
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

  void acquire();
  void release();

 private:
  // The platform's lock object (an SRW lock, a pthread mutex).
  alignas(16) unsigned char storage_[64];
};

// Holds a lock for its own lifetime.
class LockHolder {
 public:
  explicit LockHolder(Lock& lock) : lock_(lock) { lock_.acquire(); }
  ~LockHolder() { lock_.release(); }
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;

 private:
  Lock& lock_;
};

}  // namespace tarn
