// Windows: the local clock.
#include <windows.h>

#include "base/local_time.h"

namespace tarn {

LocalTime currentLocalTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return LocalTime{now.wYear, now.wMonth, now.wDayOfWeek, now.wDay,
                   now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

}  // namespace tarn
