#include "jvm/time_pictures.h"

#include <cstddef>

#include "base/text.h"

namespace tarn {
namespace {

std::wstring twoDigits(int value) {
  std::wstring text = decimalText(value);
  return text.size() < 2 ? L"0" + text : text;
}

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// 0 = Sunday, for a valid Gregorian date.
int dayOfWeek(int year, int month, int day) {
  static const int kMonthOffset[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  if (month < 3) year -= 1;
  return (year + year / 4 - year / 100 + year / 400 + kMonthOffset[month - 1] + day) % 7;
}

// Walks the picture: quoted text is copied without its quotes, each run of
// one of `letters` goes to `replace` with its length, anything else is copied.
template <typename Replace>
std::wstring applyPictures(const std::wstring& picture, const wchar_t* letters, Replace replace) {
  const std::wstring pictureLetters = letters;
  std::wstring out;
  std::size_t i = 0;
  const std::size_t size = picture.size();
  while (i < size) {
    const wchar_t c = picture[i];
    if (c == L'\'') {
      ++i;
      while (i < size) {
        if (picture[i] == L'\'') {
          if (i + 1 < size && picture[i + 1] == L'\'') {
            out += L'\'';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        out += picture[i++];
      }
    } else if (pictureLetters.find(c) != std::wstring::npos) {
      std::size_t run = 1;
      while (i + run < size && picture[i + run] == c) ++run;
      replace(c, run, out);
      i += run;
    } else {
      out += c;
      ++i;
    }
  }
  return out;
}

}  // namespace

const TimePictureNames& englishTimePictureNames() {
  static const TimePictureNames kNames = {
      {L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday"},
      {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"},
      {L"January", L"February", L"March", L"April", L"May", L"June", L"July", L"August",
       L"September", L"October", L"November", L"December"},
      {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun", L"Jul", L"Aug", L"Sep", L"Oct", L"Nov",
       L"Dec"},
      L"AM",
      L"PM",
      L"A.D.",
  };
  return kNames;
}

bool formatTimePicture(const std::wstring& picture, const LocalTime& time,
                       const TimePictureNames& names, std::wstring& out) {
  if (time.hour < 0 || time.hour > 23 || time.minute < 0 || time.minute > 59 ||
      time.second < 0 || time.second > 59 || time.milliseconds < 0 || time.milliseconds > 999) {
    return false;
  }
  const int hour12 = time.hour % 12 == 0 ? 12 : time.hour % 12;
  const std::wstring& designator = time.hour < 12 ? names.amDesignator : names.pmDesignator;
  out = applyPictures(picture, L"hHmst", [&](wchar_t letter, std::size_t run, std::wstring& text) {
    const bool padded = run >= 2;
    switch (letter) {
      case L'h': text += padded ? twoDigits(hour12) : decimalText(hour12); break;
      case L'H': text += padded ? twoDigits(time.hour) : decimalText(time.hour); break;
      case L'm': text += padded ? twoDigits(time.minute) : decimalText(time.minute); break;
      case L's': text += padded ? twoDigits(time.second) : decimalText(time.second); break;
      default:  // t
        if (padded) {
          text += designator;
        } else if (!designator.empty()) {
          text += designator[0];
        }
        break;
    }
  });
  return true;
}

bool formatDatePicture(const std::wstring& picture, const LocalTime& time,
                       const TimePictureNames& names, std::wstring& out) {
  if (time.year < 1601 || time.year > 30827 || time.month < 1 || time.month > 12 ||
      time.day < 1 || time.day > daysInMonth(time.year, time.month)) {
    return false;
  }
  const int weekDay = dayOfWeek(time.year, time.month, time.day);
  out = applyPictures(picture, L"dMyg", [&](wchar_t letter, std::size_t run, std::wstring& text) {
    switch (letter) {
      case L'd':
        if (run == 1) text += decimalText(time.day);
        else if (run == 2) text += twoDigits(time.day);
        else if (run == 3) text += names.abbreviatedDayNames[weekDay];
        else text += names.dayNames[weekDay];
        break;
      case L'M':
        if (run == 1) text += decimalText(time.month);
        else if (run == 2) text += twoDigits(time.month);
        else if (run == 3) text += names.abbreviatedMonthNames[time.month - 1];
        else text += names.monthNames[time.month - 1];
        break;
      case L'y':
        if (run == 1) text += decimalText(time.year % 10);
        else if (run == 2) text += twoDigits(time.year % 100);
        else text += decimalText(time.year);
        break;
      default:  // g
        text += names.era;
        break;
    }
  });
  return true;
}

}  // namespace tarn
