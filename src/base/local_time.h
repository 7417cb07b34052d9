#pragma once
// One reading of the local clock.

namespace tarn {

// Field for field as the Windows SYSTEMTIME (month 1-12, dayOfWeek 0 = Sunday).
struct LocalTime {
  int year;
  int month;
  int dayOfWeek;
  int day;
  int hour;
  int minute;
  int second;
  int milliseconds;
};

LocalTime currentLocalTime();

}  // namespace tarn
