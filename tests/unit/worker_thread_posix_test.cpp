// The worker thread's stack on Linux.
#include <limits.h>
#include <pthread.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <thread>

#include "run/worker_thread.h"

namespace tarn {
namespace {

// What the routine saw of the thread it ran on.
struct Seen {
  size_t stackSize = 0;
  std::thread::id thread;
};

RunOutcome recordStack(void* context) {
  Seen& seen = *static_cast<Seen*>(context);
  seen.thread = std::this_thread::get_id();
  pthread_attr_t attributes;
  if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
    pthread_attr_getstacksize(&attributes, &seen.stackSize);
    pthread_attr_destroy(&attributes);
  }
  return {0, RunFailure::None};
}

TEST(WorkerThreadPosix, StackHasAtLeastTheRequestedSize) {
  // The VM needs this much to get as far as refusing an "-Xss1k" itself.
  constexpr size_t kSmallestStack = 256 * 1024;
  const struct {
    const char* name;
    uint64_t requested;
    size_t atLeast;
  } cases[] = {
      {"one byte: the smallest stack the VM can refuse from", 1, kSmallestStack},
      {"just below the smallest", kSmallestStack - 1, kSmallestStack},
      {"not a whole number of pages", 3 * 1024 * 1024 + 1, 3 * 1024 * 1024 + 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Seen seen;
    runOnWorkerThread(&recordStack, &seen, c.requested);
    EXPECT_NE(seen.thread, std::this_thread::get_id());
    EXPECT_GE(seen.stackSize, c.atLeast);
    EXPECT_GE(seen.stackSize, static_cast<size_t>(PTHREAD_STACK_MIN));
  }
}

TEST(WorkerThreadPosix, StackTooLargeForAThreadRunsOnTheCallingThread) {
  Seen seen;
  runOnWorkerThread(&recordStack, &seen, UINT64_MAX);
  EXPECT_EQ(seen.thread, std::this_thread::get_id());
}

}  // namespace
}  // namespace tarn
