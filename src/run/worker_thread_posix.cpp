// POSIX: the worker thread.
#include <limits.h>
#include <pthread.h>
#include <unistd.h>

#include <cstdint>

#include "run/worker_thread.h"

namespace tarn {
namespace {

struct WorkerStart {
  WorkerRoutine routine;
  void* context;
  RunOutcome outcome;
};

void* workerThreadStart(void* parameter) {
  WorkerStart* start = static_cast<WorkerStart*>(parameter);
  start->outcome = start->routine(start->context);
  return nullptr;
}

// JNI_CreateJavaVM needs this much stack to get as far as refusing a Java
// stack size that is too small (HotSpot wants at least 136 KiB on x64); on
// the bare PTHREAD_STACK_MIN an "-Xss1k" overflows it and the process dies.
constexpr size_t kSmallestWorkerStack = 256 * 1024;

// At least kSmallestWorkerStack and PTHREAD_STACK_MIN, rounded up to whole
// pages; a size too large for the address space is kept at the largest whole
// number of pages, which makes the thread creation fail rather than wrap.
size_t threadStackBytes(uint64_t requested) {
  const long pageSize = sysconf(_SC_PAGESIZE);
  const size_t page = pageSize > 0 ? static_cast<size_t>(pageSize) : 4096;
  const size_t largest = SIZE_MAX - (SIZE_MAX % page);
  if (requested >= largest) return largest;
  size_t size = static_cast<size_t>(requested);
  if (size < kSmallestWorkerStack) size = kSmallestWorkerStack;
  if (size < static_cast<size_t>(PTHREAD_STACK_MIN)) size = static_cast<size_t>(PTHREAD_STACK_MIN);
  if (size % page != 0) size += page - size % page;
  return size;
}

}  // namespace

RunOutcome runOnWorkerThread(WorkerRoutine routine, void* context, uint64_t stackSize) {
  pthread_attr_t attributes;
  if (pthread_attr_init(&attributes) != 0) return routine(context);
  if (stackSize != 0) pthread_attr_setstacksize(&attributes, threadStackBytes(stackSize));
  pthread_t thread;
  WorkerStart start{routine, context, {}};
  const int created = pthread_create(&thread, &attributes, &workerThreadStart, &start);
  pthread_attr_destroy(&attributes);
  if (created != 0) return routine(context);
  // Should the join fail, the thread may still be writing: its outcome is not read.
  if (pthread_join(thread, nullptr) != 0) return {-1, RunFailure::MainClass};
  return start.outcome;
}

}  // namespace tarn
