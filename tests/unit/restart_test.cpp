#include "run/restart.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace tarn {
namespace {

TEST(RestartTest, RecordTextRoundTripsAndBadTextIsAFirstStart) {
  EXPECT_EQ(restartRecordText(RestartRecord{12, 3400, 2}), L"12:3400:2");
  struct Case {
    const wchar_t* text;
    uint32_t restarts;
    uint64_t windowStart;
    uint32_t inWindow;
  };
  // now = 5000
  const Case cases[] = {
      {L"12:3400:2", 12, 3400, 2},
      {L"0:5000:0", 0, 5000, 0},
      {L"", 0, 5000, 0},
      {L"1:2", 0, 5000, 0},
      {L"1:2:3:4", 0, 5000, 0},
      {L"a:2:1", 0, 5000, 0},
      {L"-1:2:0", 0, 5000, 0},
      {L"4294967296:2:0", 0, 5000, 0},
      // More restarts in the window than in all, and a window in the future.
      {L"1:2:3", 0, 5000, 0},
      {L"3:6000:1", 0, 5000, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.text));
    const RestartRecord record = readRestartRecord(c.text, 5000);
    EXPECT_EQ(record.restarts, c.restarts);
    EXPECT_EQ(record.windowStart, c.windowStart);
    EXPECT_EQ(record.inWindow, c.inWindow);
  }
}

TEST(RestartTest, VerdictCountsRestartsWithinTheWindow) {
  const std::vector<int32_t> codes = {7, -1};
  struct Case {
    const char* name;
    int32_t code;
    RestartRecord previous;
    uint64_t now;
    RestartVerdict verdict;
    RestartRecord next;
  };
  const Case cases[] = {
      {"a code not listed", 3, {0, 100, 0}, 100, RestartVerdict::NotListed, {}},
      {"0 not listed", 0, {0, 100, 0}, 100, RestartVerdict::NotListed, {}},
      {"first restart", 7, {0, 100, 0}, 100, RestartVerdict::Restart, {1, 100, 1}},
      {"negative code", -1, {0, 100, 0}, 130, RestartVerdict::Restart, {1, 100, 1}},
      {"fifth within the minute", 7, {4, 100, 4}, 159, RestartVerdict::Restart, {5, 100, 5}},
      {"sixth within the minute", 7, {5, 100, 5}, 159, RestartVerdict::Bounded, {}},
      {"a minute later the window starts again", 7, {5, 100, 5}, 160, RestartVerdict::Restart, {6, 160, 1}},
      {"long after", 7, {40, 100, 2}, 9000, RestartVerdict::Restart, {41, 9000, 1}},
      {"clock behind the window", 7, {5, 100, 5}, 50, RestartVerdict::Restart, {6, 50, 1}},
      {"count at its end", 7, {UINT32_MAX, 100, 0}, 100, RestartVerdict::Bounded, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RestartRecord next{99, 99, 99};
    ASSERT_EQ(decideRestart(codes, c.code, c.previous, c.now, next), c.verdict);
    if (c.verdict != RestartVerdict::Restart) continue;
    EXPECT_EQ(next.restarts, c.next.restarts);
    EXPECT_EQ(next.windowStart, c.next.windowStart);
    EXPECT_EQ(next.inWindow, c.next.inWindow);
  }
}

}  // namespace
}  // namespace tarn
