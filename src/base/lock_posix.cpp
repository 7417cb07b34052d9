// POSIX: the lock is a pthread mutex.
#include <pthread.h>

#include <new>

#include "base/lock.h"

namespace tarn {
namespace {

pthread_mutex_t* mutex(unsigned char* storage) { return reinterpret_cast<pthread_mutex_t*>(storage); }

}  // namespace

Lock::Lock() {
  static_assert(sizeof(pthread_mutex_t) <= sizeof(storage_), "the lock's storage holds a pthread mutex");
  pthread_mutex_init(new (storage_) pthread_mutex_t, nullptr);
}

Lock::~Lock() { pthread_mutex_destroy(mutex(storage_)); }

void Lock::acquire() { pthread_mutex_lock(mutex(storage_)); }

void Lock::release() { pthread_mutex_unlock(mutex(storage_)); }

}  // namespace tarn
