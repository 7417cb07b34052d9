// Windows: the day and month names, the AM/PM designators and the era of the
// user's default locale.
#include <windows.h>

#include <vector>

#include "jvm/time_pictures.h"

namespace tarn {
namespace {

// GetLocaleInfoW and GetCalendarInfoW return the characters written with the
// terminating zero, or the size needed when the buffer size is 0; 0 on failure.
template <typename Read>
bool readLocaleText(Read read, std::wstring& text) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int needed = read(nullptr, 0);
    if (needed <= 0) return false;
    std::vector<wchar_t> buffer(static_cast<size_t>(needed));
    const int written = read(buffer.data(), needed);
    const DWORD error = written > 0 ? ERROR_SUCCESS : GetLastError();
    if (written > 0) {
      text.assign(buffer.data(), static_cast<size_t>(written - 1));
      return true;
    }
    if (error != ERROR_INSUFFICIENT_BUFFER) return false;
  }
  return false;
}

bool readLocaleInfo(LCTYPE type, std::wstring& text) {
  return readLocaleText(
      [type](wchar_t* buffer, int size) { return GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, size); },
      text);
}

// A name the locale leaves empty keeps the English one.
void readName(LCTYPE type, std::wstring& name) {
  std::wstring text;
  if (readLocaleInfo(type, text) && !text.empty()) name = text;
}

}  // namespace

TimePictureNames userTimePictureNames() {
  TimePictureNames names = englishTimePictureNames();
  // LOCALE_SDAYNAME1 is Monday; our tables start on Sunday.
  for (int day = 0; day < 7; ++day) {
    const LCTYPE localeDay = static_cast<LCTYPE>((day + 6) % 7);
    readName(LOCALE_SDAYNAME1 + localeDay, names.dayNames[day]);
    readName(LOCALE_SABBREVDAYNAME1 + localeDay, names.abbreviatedDayNames[day]);
  }
  for (LCTYPE month = 0; month < 12; ++month) {
    readName(LOCALE_SMONTHNAME1 + month, names.monthNames[month]);
    readName(LOCALE_SABBREVMONTHNAME1 + month, names.abbreviatedMonthNames[month]);
  }
  // Designators may be empty on purpose (24-hour locales), so they are taken
  // as they are.
  readLocaleInfo(LOCALE_S1159, names.amDesignator);
  readLocaleInfo(LOCALE_S2359, names.pmDesignator);
  readLocaleText(
      [](wchar_t* buffer, int size) {
        return GetCalendarInfoW(LOCALE_USER_DEFAULT, CAL_GREGORIAN, CAL_SERASTRING, buffer, size, nullptr);
      },
      names.era);
  return names;
}

}  // namespace tarn
