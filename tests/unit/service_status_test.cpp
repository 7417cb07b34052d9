#include "run/service_status.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace tarn {
namespace {

// Records what reached the manager; `accept` says whether it takes it.
// `slow` lets other threads run inside each send, as a real manager does.
struct Manager {
  std::vector<ServiceStatusRecord> received;
  bool accept = true;
  bool slow = false;
  ServiceStatusBook book{[this](const ServiceStatusRecord& record) {
    if (slow) std::this_thread::yield();
    received.push_back(record);
    return accept;
  }};
};

TEST(ServiceStatusBookTest, RunningThenStopPendingThenStoppedCarryTheirFields) {
  Manager manager;
  ASSERT_TRUE(manager.book.reportRunning());
  ASSERT_TRUE(manager.book.reportStopPending());
  ASSERT_TRUE(manager.book.reportStopped(0));
  ASSERT_EQ(manager.received.size(), 3u);

  const ServiceStatusRecord& running = manager.received[0];
  EXPECT_EQ(running.serviceType, 0x10u);
  EXPECT_EQ(running.currentState, 4u);
  EXPECT_EQ(running.controlsAccepted, 5u);
  EXPECT_EQ(running.waitHint, 0u);

  const ServiceStatusRecord& pending = manager.received[1];
  EXPECT_EQ(pending.currentState, 3u);
  EXPECT_EQ(pending.waitHint, 3000u);
  EXPECT_EQ(pending.checkPoint, 0u);
  EXPECT_EQ(pending.controlsAccepted, 5u);

  const ServiceStatusRecord& stopped = manager.received[2];
  EXPECT_EQ(stopped.currentState, 1u);
  EXPECT_EQ(stopped.win32ExitCode, 0u);
  EXPECT_EQ(stopped.serviceSpecificExitCode, 0u);
  // Everything else as the stop-pending report left it.
  EXPECT_EQ(stopped.waitHint, 3000u);
}

TEST(ServiceStatusBookTest, AFailedRunStopsWithTheServiceSpecificError) {
  Manager manager;
  manager.book.reportRunning();
  ASSERT_TRUE(manager.book.reportStopped(3));
  EXPECT_EQ(manager.received.back().win32ExitCode, 1066u);
  EXPECT_EQ(manager.received.back().serviceSpecificExitCode, 3u);
}

TEST(ServiceStatusBookTest, NothingFollowsTheStoppedReport) {
  Manager manager;
  manager.book.reportRunning();
  manager.book.reportStopped(0);
  // A stop control or the VM's exit hook coming late.
  EXPECT_FALSE(manager.book.reportStopPending());
  EXPECT_FALSE(manager.book.reportAgain());
  EXPECT_FALSE(manager.book.reportStopped(4));
  ASSERT_EQ(manager.received.size(), 2u);
  EXPECT_EQ(manager.book.last().currentState, 1u);
  EXPECT_EQ(manager.book.last().serviceSpecificExitCode, 0u);
}

TEST(ServiceStatusBookTest, AStoppedReportTheManagerRefusedCanBeMadeAgain) {
  Manager manager;
  manager.book.reportRunning();
  manager.accept = false;
  EXPECT_FALSE(manager.book.reportStopped(0));
  manager.accept = true;
  EXPECT_TRUE(manager.book.reportStopped(0));
}

// Every field of the running report, in the record's order.
void expectRunning(const ServiceStatusRecord& record) {
  const uint32_t expected[] = {0x10, 4, 5, 0, 0, 0, 0};
  const uint32_t actual[] = {record.serviceType,   record.currentState,           record.controlsAccepted,
                             record.win32ExitCode, record.serviceSpecificExitCode, record.checkPoint,
                             record.waitHint};
  for (size_t i = 0; i < 7; ++i) EXPECT_EQ(actual[i], expected[i]) << "field " << i;
}

// A refused report changes nothing: the record that goes out next, and
// what last() says, is the one the manager took last.
TEST(ServiceStatusBookTest, ARefusedReportLeavesTheLastRecordAsTheManagerHasIt) {
  struct Case {
    const char* row;
    std::function<bool(ServiceStatusBook&)> refused;
  };
  const Case cases[] = {
      {"stop pending", [](ServiceStatusBook& book) { return book.reportStopPending(); }},
      {"stopped", [](ServiceStatusBook& book) { return book.reportStopped(0); }},
      {"stopped after a failed run", [](ServiceStatusBook& book) { return book.reportStopped(2); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    Manager manager;
    ASSERT_TRUE(manager.book.reportRunning());
    manager.accept = false;
    EXPECT_FALSE(c.refused(manager.book));
    manager.accept = true;

    expectRunning(manager.book.last());
    ASSERT_TRUE(manager.book.reportAgain());
    ASSERT_EQ(manager.received.size(), 3u);
    expectRunning(manager.received[2]);
  }
}

TEST(ServiceStatusBookTest, InterrogateSendsTheLastRecordUnchanged) {
  Manager manager;
  manager.book.reportRunning();
  manager.book.reportStopPending();
  ASSERT_TRUE(manager.book.reportAgain());
  ASSERT_EQ(manager.received.size(), 3u);
  const ServiceStatusRecord& again = manager.received[2];
  const ServiceStatusRecord& before = manager.received[1];
  EXPECT_EQ(again.currentState, before.currentState);
  EXPECT_EQ(again.waitHint, before.waitHint);
  EXPECT_EQ(again.checkPoint, before.checkPoint);
}

// Holds each thread that arrives until all have, so that what they do next
// overlaps instead of one finishing before the other has started.
class StartLine {
 public:
  explicit StartLine(int threads) : waiting_(threads) {}
  void arriveAndWait() {
    waiting_.fetch_sub(1);
    while (waiting_.load() > 0) std::this_thread::yield();
  }

 private:
  std::atomic<int> waiting_;
};

// The race of the reporting threads (the control handler's and the VM's exit
// hook): whatever the order, once stopped has gone out it stays the last
// report, and it goes out once.
TEST(ServiceStatusBookTest, StoppedStaysLastUnderConcurrentReports) {
  for (int round = 0; round < 200; ++round) {
    SCOPED_TRACE(round);
    Manager manager;
    manager.book.reportRunning();
    manager.slow = true;
    StartLine line(2);
    std::thread control([&] {
      line.arriveAndWait();
      for (int i = 0; i < 20; ++i) manager.book.reportStopPending();
    });
    std::thread hook([&] {
      line.arriveAndWait();
      manager.book.reportStopped(0);
    });
    control.join();
    hook.join();
    ASSERT_FALSE(manager.received.empty());
    EXPECT_EQ(manager.received.back().currentState, 1u);
    int stoppedReports = 0;
    for (const ServiceStatusRecord& record : manager.received) stoppedReports += record.currentState == 1u ? 1 : 0;
    EXPECT_EQ(stoppedReports, 1);
  }
}

}  // namespace
}  // namespace tarn
