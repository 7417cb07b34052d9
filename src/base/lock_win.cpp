// Windows: the lock is a slim reader/writer lock, taken exclusively.
#include <windows.h>

#include <new>

#include "base/lock.h"

namespace tarn {
namespace {

SRWLOCK* srwLock(unsigned char* storage) { return reinterpret_cast<SRWLOCK*>(storage); }

}  // namespace

Lock::Lock() {
  static_assert(sizeof(SRWLOCK) <= sizeof(storage_), "the lock's storage holds an SRW lock");
  InitializeSRWLock(new (storage_) SRWLOCK);
}

// An SRW lock needs no release of its own.
Lock::~Lock() = default;

void Lock::acquire() { AcquireSRWLockExclusive(srwLock(storage_)); }

void Lock::release() { ReleaseSRWLockExclusive(srwLock(storage_)); }

}  // namespace tarn
