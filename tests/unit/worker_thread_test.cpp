// The worker thread: the routine runs once on a thread of its own, with its
// context, and its result comes back once it has ended.
#include "run/worker_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <thread>

namespace tarn {
namespace {

struct Visit {
  uint32_t result = 0;
  int runs = 0;
  std::thread::id thread;
  bool finished = false;
};

uint32_t recordVisit(void* context) {
  Visit& visit = *static_cast<Visit*>(context);
  ++visit.runs;
  visit.thread = std::this_thread::get_id();
  // Late enough that a caller which did not wait for the end would miss it.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  visit.finished = true;
  return visit.result;
}

TEST(RunOnWorkerThread, RunsTheRoutineOnAThreadOfItsOwnAndReturnsItsResult) {
  const struct {
    const char* name;
    uint32_t result;
    uint64_t stackSize;
  } cases[] = {
      {"success, the system's stack", 0, 0},
      {"failure, a stack of 1 MiB", 1, 1024 * 1024},
      // The whole 32 bits come back, not only a byte of them.
      {"the largest result", UINT32_MAX, 0},
      {"a result above 255", 0x12345u, 512 * 1024},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Visit visit;
    visit.result = c.result;
    EXPECT_EQ(runOnWorkerThread(&recordVisit, &visit, c.stackSize), c.result);
    EXPECT_EQ(visit.runs, 1);
    EXPECT_TRUE(visit.finished);
    EXPECT_NE(visit.thread, std::this_thread::get_id());
  }
}

}  // namespace
}  // namespace tarn
