// The worker thread: the routine runs once on a thread of its own, with its
// context, and its outcome comes back once it has ended.
#include "run/worker_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <thread>

namespace tarn {
namespace {

struct Visit {
  RunOutcome result;
  int runs = 0;
  std::thread::id thread;
  bool finished = false;
};

RunOutcome recordVisit(void* context) {
  Visit& visit = *static_cast<Visit*>(context);
  ++visit.runs;
  visit.thread = std::this_thread::get_id();
  // Late enough that a caller which did not wait for the end would miss it.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  visit.finished = true;
  return visit.result;
}

TEST(RunOnWorkerThread, RunsTheRoutineOnAThreadOfItsOwnAndReturnsItsOutcome) {
  const struct {
    const char* name;
    RunOutcome result;
    uint64_t stackSize;
  } cases[] = {
      {"main returned, the system's stack", {0, RunFailure::None}, 0},
      {"main threw, a stack of 1 MiB", {1, RunFailure::None}, 1024 * 1024},
      {"the VM refused", {-1, RunFailure::VmCreation}, 0},
      {"abandoned before main", {-1, RunFailure::Abandoned}, 0},
      // The whole exit code comes back, not only a byte of it.
      {"an exit code above 255", {0x12345, RunFailure::None}, 512 * 1024},
      {"the smallest exit code", {INT32_MIN, RunFailure::None}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Visit visit;
    visit.result = c.result;
    const RunOutcome outcome = runOnWorkerThread(&recordVisit, &visit, c.stackSize);
    EXPECT_EQ(outcome.exitCode, c.result.exitCode);
    EXPECT_EQ(outcome.failure, c.result.failure);
    EXPECT_EQ(visit.runs, 1);
    EXPECT_TRUE(visit.finished);
    EXPECT_NE(visit.thread, std::this_thread::get_id());
  }
}

}  // namespace
}  // namespace tarn
