// Log file names and folders on the real Windows API.
#include "jvm/output_redirection.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "support/temp_folder.h"

namespace tarn {
namespace {

// The stamp as the system's own picture functions write it, for pictures
// whose result is short enough for any implementation.
std::wstring systemStamp(const std::wstring& picture, const SYSTEMTIME& time) {
  wchar_t afterTime[1024];
  wchar_t stamp[1024];
  if (GetTimeFormatW(0x0400, 0, &time, picture.c_str(), afterTime, 1024) == 0) return L"<time pass failed>";
  if (GetDateFormatW(0x0400, 0, &time, afterTime, stamp, 1024) == 0) return L"<date pass failed>";
  return stamp;
}

TEST(StampFileNameOnWindows, MatchesTheSystemPictureFunctions) {
  const SYSTEMTIME times[] = {
      {2024, 3, 2, 5, 14, 7, 9, 42},
      {2009, 11, 0, 1, 0, 5, 3, 0},
      {2000, 2, 2, 29, 12, 59, 59, 999},
      {1601, 1, 1, 1, 23, 0, 0, 7},
  };
  // Not compared: a single "y" (the last digit of the year in Microsoft's
  // description of the pictures, two digits in Wine) and the era, which Wine
  // writes once per "g" letter.
  const wchar_t* pictures[] = {
      L"yyyyMMdd-HHmmss",
      L"yyyy-MM-dd_HH.mm.ss",
      L"d.M.yy H:m:s",
      L"dd MM yy hh mm ss",
      L"yyyyy MMMMM ddddd hhh HHH mmm sss",
      L"h-H",
      L"'log'-yyyy",
      L"'HH'HH 'yyyy'",
      L"''''yy''",
      L"'''dd",
      L"ddd dddd MMM MMMM",
      L"t tt",
      L"tt-MM",
      L"x-z-0123-_. ~!@#$&()[]{}",
      L"",
  };
  for (const SYSTEMTIME& time : times) {
    const LocalTime local{time.wYear, time.wMonth, time.wDayOfWeek, time.wDay,
                          time.wHour, time.wMinute, time.wSecond, time.wMilliseconds};
    for (const wchar_t* picture : pictures) {
      SCOPED_TRACE(testing::PrintToString(std::wstring(picture)) + " at " + std::to_string(time.wYear) + "-" +
                   std::to_string(time.wMonth) + "-" + std::to_string(time.wDay) + " " +
                   std::to_string(time.wHour));
      std::wstring name = L"app-%" + std::wstring(picture) + L"%.log";
      stampFileName(name, local);
      EXPECT_EQ(name, L"app-" + systemStamp(picture, time) + L".log");
    }
  }
}

// Every file and folder below the folder, as paths relative to it.
void list(const std::wstring& folder, const std::wstring& prefix, std::set<std::wstring>& found) {
  WIN32_FIND_DATAW data;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    found.insert(prefix + name);
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) list(folder + L"\\" + name, prefix + name + L"\\", found);
  } while (FindNextFileW(search, &data));
  FindClose(search);
}

std::set<std::wstring> contents(const test::TempFolder& folder) {
  std::set<std::wstring> found;
  list(folder.path().wstring(), L"", found);
  return found;
}

TEST(EnsureParentDirectories, MakesTheMissingFolders) {
  test::TempFolder temp;
  temp.makeFolder("kept");
  EXPECT_EQ(ensureParentDirectories(temp.pathOf(L"kept\\a\\b\\out.log")), 0u);
  EXPECT_EQ(contents(temp), (std::set<std::wstring>{L"kept", L"kept\\a", L"kept\\a\\b"}));
  // Once more: everything is there already.
  EXPECT_EQ(ensureParentDirectories(temp.pathOf(L"kept\\a\\b\\out.log")), 0u);
  EXPECT_EQ(ensureParentDirectories(L"\\\\?\\" + temp.pathOf(L"long\\out.log")), 0u);
  EXPECT_EQ(contents(temp), (std::set<std::wstring>{L"kept", L"kept\\a", L"kept\\a\\b", L"long"}));
}

TEST(EnsureParentDirectories, AnExistingFileNeedsNothing) {
  test::TempFolder temp;
  temp.writeFile("out.log", "");
  EXPECT_EQ(ensureParentDirectories(temp.pathOf(L"out.log")), 0u);
  EXPECT_EQ(contents(temp), (std::set<std::wstring>{L"out.log"}));
}

TEST(EnsureParentDirectories, AFailedWalkLeavesNothingBehind) {
  test::TempFolder temp;
  temp.writeFile("blocker", "");
  const std::wstring tooLong(300, L'n');
  const std::wstring paths[] = {
      temp.pathOf(L"blocker\\sub\\out.log"),               // through a file
      temp.pathOf(L"new\\deeper\\" + tooLong + L"\\out.log"),  // a name no file system takes
  };
  for (const std::wstring& path : paths) {
    SCOPED_TRACE(testing::PrintToString(path.substr(temp.path().wstring().size())));
    EXPECT_NE(ensureParentDirectories(path), 0u);
    EXPECT_EQ(contents(temp), (std::set<std::wstring>{L"blocker"}));
  }
}

}  // namespace
}  // namespace tarn
