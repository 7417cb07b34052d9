#include "jvm/time_pictures.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

// Tuesday 2024-03-05 14:07:09.042; dayOfWeek deliberately wrong (the passes
// take the weekday from the date).
constexpr LocalTime kAfternoon{2024, 3, 6, 5, 14, 7, 9, 42};
// Sunday 2009-11-01 00:05:03.000
constexpr LocalTime kMidnight{2009, 11, 0, 1, 0, 5, 3, 0};

struct PictureCase {
  const wchar_t* picture;
  const wchar_t* afternoon;
  const wchar_t* midnight;
};

void expectPass(bool (*pass)(const std::wstring&, const LocalTime&, const TimePictureNames&, std::wstring&),
                const PictureCase& c) {
  SCOPED_TRACE(testing::PrintToString(std::wstring(c.picture)));
  std::wstring out;
  ASSERT_TRUE(pass(c.picture, kAfternoon, englishTimePictureNames(), out));
  EXPECT_EQ(out, c.afternoon);
  ASSERT_TRUE(pass(c.picture, kMidnight, englishTimePictureNames(), out));
  EXPECT_EQ(out, c.midnight);
}

TEST(TimePicturePass, HoursMinutesSecondsAndDesignators) {
  const PictureCase cases[] = {
      {L"h hh hhh", L"2 02 02", L"12 12 12"},
      {L"H HH HHHH", L"14 14 14", L"0 00 00"},
      {L"m mm mmm", L"7 07 07", L"5 05 05"},
      {L"s ss sss", L"9 09 09", L"3 03 03"},
      {L"t tt ttt", L"P PM PM", L"A AM AM"},
      // Date pictures and everything else pass through the time pass.
      {L"yyyy-MM-dd ddd gg L l %", L"yyyy-MM-dd ddd gg L l %", L"yyyy-MM-dd ddd gg L l %"},
      {L"HHmmss.L", L"140709.L", L"000503.L"},
      {L"", L"", L""},
  };
  for (const auto& c : cases) expectPass(formatTimePicture, c);
}

TEST(DatePicturePass, DaysMonthsYearsAndEra) {
  const PictureCase cases[] = {
      {L"d dd ddd dddd ddddd", L"5 05 Tue Tuesday Tuesday", L"1 01 Sun Sunday Sunday"},
      {L"M MM MMM MMMM MMMMMM", L"3 03 Mar March March", L"11 11 Nov November November"},
      {L"y yy yyy yyyy yyyyy", L"4 24 2024 2024 2024", L"9 09 2009 2009 2009"},
      {L"g gg", L"A.D. A.D.", L"A.D. A.D."},
      {L"hh:mm:ss tt H", L"hh:mm:ss tt H", L"hh:mm:ss tt H"},
      {L"yyyyMMdd", L"20240305", L"20091101"},
  };
  for (const auto& c : cases) expectPass(formatDatePicture, c);
}

TEST(PicturePasses, QuotedTextIsCopiedWithoutItsQuotes) {
  const PictureCase cases[] = {
      {L"'HH' HH", L"HH 14", L"HH 00"},
      {L"'it''s' H", L"it's 14", L"it's 0"},
      {L"''''", L"'", L"'"},
      {L"''HH", L"14", L"00"},          // an empty quoted text
      {L"'''HH", L"'HH", L"'HH"},       // an unclosed quote runs to the end
      {L"'", L"", L""},
      {L"a'b", L"ab", L"ab"},
  };
  for (const auto& c : cases) expectPass(formatTimePicture, c);

  std::wstring out;
  ASSERT_TRUE(formatDatePicture(L"ddd',' MMM dd ''''yy", kAfternoon, englishTimePictureNames(), out));
  EXPECT_EQ(out, L"Tue, Mar 05 '24");
}

TEST(PicturePasses, OutOfRangeTimesAndDatesAreRefused) {
  const struct {
    const char* name;
    LocalTime time;
    bool timeValid;
    bool dateValid;
  } cases[] = {
      {"hour 24", {2024, 3, 2, 5, 24, 0, 0, 0}, false, true},
      {"minute 60", {2024, 3, 2, 5, 1, 60, 0, 0}, false, true},
      {"second 60", {2024, 3, 2, 5, 1, 0, 60, 0}, false, true},
      {"milliseconds 1000", {2024, 3, 2, 5, 1, 0, 0, 1000}, false, true},
      {"negative hour", {2024, 3, 2, 5, -1, 0, 0, 0}, false, true},
      {"29 February of a leap year", {2024, 2, 4, 29, 0, 0, 0, 0}, true, true},
      {"29 February of another year", {2023, 2, 3, 29, 0, 0, 0, 0}, true, false},
      {"29 February 1900", {1900, 2, 3, 29, 0, 0, 0, 0}, true, false},
      {"month 13", {2024, 13, 0, 1, 0, 0, 0, 0}, true, false},
      {"day 0", {2024, 1, 0, 0, 0, 0, 0, 0}, true, false},
      {"year 1600", {1600, 12, 0, 31, 0, 0, 0, 0}, true, false},
      {"year 1601", {1601, 1, 1, 1, 0, 0, 0, 0}, true, true},
      {"year 30828", {30828, 1, 0, 1, 0, 0, 0, 0}, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::wstring out = L"untouched";
    EXPECT_EQ(formatTimePicture(L"HH", c.time, englishTimePictureNames(), out), c.timeValid);
    if (!c.timeValid) {
      EXPECT_EQ(out, L"untouched");
    }
    out = L"untouched";
    EXPECT_EQ(formatDatePicture(L"dd", c.time, englishTimePictureNames(), out), c.dateValid);
    if (!c.dateValid) {
      EXPECT_EQ(out, L"untouched");
    }
  }
}

TEST(DatePicturePass, WeekdayFollowsTheCalendar) {
  const struct {
    LocalTime time;
    const wchar_t* expected;
  } cases[] = {
      {{1601, 1, 0, 1, 0, 0, 0, 0}, L"Monday 1 January 1601"},
      {{2000, 2, 0, 29, 0, 0, 0, 0}, L"Tuesday 29 February 2000"},
      {{2002, 10, 0, 23, 0, 0, 0, 0}, L"Wednesday 23 October 2002"},
      {{2024, 12, 0, 31, 0, 0, 0, 0}, L"Tuesday 31 December 2024"},
      {{30827, 12, 0, 31, 0, 0, 0, 0}, L"Friday 31 December 30827"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.expected)));
    std::wstring out;
    ASSERT_TRUE(formatDatePicture(L"dddd d MMMM yyyy", c.time, englishTimePictureNames(), out));
    EXPECT_EQ(out, c.expected);
  }
}

TEST(PicturePasses, TheDatePassReadsWhatTheTimePassWrote) {
  // The designator's "M" and the unquoted "yyyy" become date pictures.
  std::wstring afterTime;
  std::wstring stamp;
  ASSERT_TRUE(formatTimePicture(L"tt 'yyyy' HH", kAfternoon, englishTimePictureNames(), afterTime));
  EXPECT_EQ(afterTime, L"PM yyyy 14");
  ASSERT_TRUE(formatDatePicture(afterTime, kAfternoon, englishTimePictureNames(), stamp));
  EXPECT_EQ(stamp, L"P3 2024 14");
}

}  // namespace
}  // namespace tarn
