#include "jvm/dated_output_files.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace tarn {
namespace {

TEST(DatedOutputFilesTest, NamesThePictureCouldHaveProduced) {
  struct Case {
    const wchar_t* pattern;
    const wchar_t* name;
    bool matches;
  };
  const Case cases[] = {
      {L"app-%yyyyMMdd%.log", L"app-20240305.log", true},
      {L"app-%yyyyMMdd%.log", L"app-2024035.log", false},     // MM is two digits
      {L"app-%yyyyMMdd%.log", L"app-20240305.log.bak", false},
      {L"app-%yyyyMMdd%.log", L"app-2024O305.log", false},
      {L"app-%yyyyMMdd%.log", L"app-20240305.LOG", false},
      {L"app-%yyyyMMdd%.log", L"App-20240305.log", false},
      {L"app-%yyyyMMdd%.log", L"app-.log", false},
      {L"app-%yyyyMMdd%.log", L"app.log", false},
      {L"app-%yyyyMMdd%.log", L"app-123456789.log", true},    // a five-digit year
      // Seconds and milliseconds: many files in one minute.
      {L"out-%yyyyMMdd-HHmmss.L%.log", L"out-20240305-140709.7.log", true},
      {L"out-%yyyyMMdd-HHmmss.L%.log", L"out-20240305-140709.999.log", true},
      {L"out-%yyyyMMdd-HHmmss.L%.log", L"out-20240305-140709.1000.log", false},
      {L"out-%yyyyMMdd-HHmmss.L%.log", L"out-20240305-14079.7.log", false},
      // Unpadded pictures take one or two digits.
      {L"x%d.M.yy H:m:s%", L"x5.3.24 9:7:2", true},
      {L"x%d.M.yy H:m:s%", L"x15.12.24 19:57:32", true},
      {L"x%d.M.yy H:m:s%", L"x155.12.24 19:57:32", false},
      // Names of days and months, and quoted text.
      {L"%dddd dd MMM yyyy%.txt", L"Tuesday 05 Mar 2024.txt", true},
      {L"%dddd dd MMM yyyy%.txt", L"Tue 05 Mar 2024.txt", false},
      {L"%dddd dd MMM yyyy%.txt", L"Tuesday 05 March 2024.txt", false},
      // The date pass reads the text the time pass copied out of quotes again.
      {L"%'day' yyyy%", L"day 2024", false},
      {L"%'day' yyyy%", L"5a4 2024", true},
      {L"%'''s' y%", L"s y", true},
      {L"%'''s' y%", L"'s 4", false},
      {L"%''Ay%", L"A4", true},
      {L"%'L'%", L"12", true},  // L inside quotes is the milliseconds too
      {L"%g yy%", L"A.D. 24", true},
      {L"%%", L"", true},
      {L"a-%%.log", L"a-.log", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.pattern) + " / " + toUtf8(c.name));
    StampedNamePattern pattern;
    ASSERT_TRUE(pattern.read(c.pattern, englishTimePictureNames()));
    EXPECT_EQ(pattern.matches(c.name), c.matches);
  }
}

TEST(DatedOutputFilesTest, NoPatternWithoutAStampOrWithTheDesignator) {
  for (const wchar_t* name : {L"app.log", L"app-%yyyy.log", L"app-%hh tt%.log", L"%t%"}) {
    SCOPED_TRACE(toUtf8(name));
    StampedNamePattern pattern;
    EXPECT_FALSE(pattern.read(name, englishTimePictureNames()));
  }
}

TEST(DatedOutputFilesTest, RemovesTheOldestBeyondTheKeptOnes) {
  StampedNamePattern pattern;
  ASSERT_TRUE(pattern.read(L"out-%HHmmss%.log", englishTimePictureNames()));
  const std::vector<FolderFile> files = {
      {L"out-100005.log", 50}, {L"out-100001.log", 10}, {L"notes.txt", 1},       {L"out-100004.log", 40},
      {L"out-100002.log", 20}, {L"out-1003.log", 2},    {L"out-100003.log", 30}, {L"out-100006.log", 30},
  };
  struct Case {
    uint32_t keep;
    const wchar_t* current;
    std::vector<std::wstring> removed;
  };
  const Case cases[] = {
      // The current file counts among the kept, whether it exists already or not.
      {3, L"out-100009.log", {L"out-100001.log", L"out-100002.log", L"out-100003.log", L"out-100006.log"}},
      {3, L"out-100005.log", {L"out-100001.log", L"out-100002.log", L"out-100003.log"}},
      {1, L"out-100009.log",
       {L"out-100001.log", L"out-100002.log", L"out-100003.log", L"out-100006.log", L"out-100004.log",
        L"out-100005.log"}},
      {6, L"out-100009.log", {L"out-100001.log"}},
      {7, L"out-100009.log", {}},
      {100, L"out-100009.log", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keep);
    EXPECT_EQ(datedFilesToRemove(files, pattern, c.current, c.keep), c.removed);
  }
}

}  // namespace
}  // namespace tarn
