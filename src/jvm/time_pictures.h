#pragma once
// The Windows time and date format pictures, written by our own code so that
// any length of picture works and the same rules hold on every platform.
//
// Time pictures: h hh (12-hour), H HH (24-hour), m mm, s ss, t (first letter
// of the AM/PM designator), tt (the designator). Date pictures: d dd, ddd
// (abbreviated day name), dddd (day name), M MM, MMM (abbreviated month
// name), MMMM (month name), y (last digit of the year), yy (last two), yyyy
// (full year), g gg (era). A longer run of a letter counts as its longest
// picture (yyy too is the full year, and a run of g is one era). Text in
// single quotes is copied without the quotes, a doubled quote inside quoted
// text is one quote, and an unclosed quote runs to the end. Every other
// character is copied.

#include <string>

#include "jvm/output_redirection.h"

namespace tarn {

struct TimePictureNames {
  std::wstring dayNames[7];  // Sunday first
  std::wstring abbreviatedDayNames[7];
  std::wstring monthNames[12];  // January first
  std::wstring abbreviatedMonthNames[12];
  std::wstring amDesignator;
  std::wstring pmDesignator;
  std::wstring era;
};

const TimePictureNames& englishTimePictureNames();

// The names of the user's locale; any name the platform does not give is the
// English one (time_pictures_win.cpp, time_pictures_posix.cpp).
TimePictureNames userTimePictureNames();

// The time pass: replaces the time pictures of `picture`, copies the rest.
// False, with `out` untouched, when the time of day is out of range.
bool formatTimePicture(const std::wstring& picture, const LocalTime& time,
                       const TimePictureNames& names, std::wstring& out);

// The date pass: replaces the date pictures. False, with `out` untouched, when
// the date is not a day of the years 1601 to 30827. The day of the week comes
// from the date, not from time.dayOfWeek.
bool formatDatePicture(const std::wstring& picture, const LocalTime& time,
                       const TimePictureNames& names, std::wstring& out);

}  // namespace tarn
