// POSIX: the local clock.
#include <time.h>

#include "base/local_time.h"

namespace tarn {

LocalTime currentLocalTime() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  // A leap second (tm_sec 60) is shown as the last second of its minute.
  const int second = local.tm_sec > 59 ? 59 : local.tm_sec;
  return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_wday, local.tm_mday,
                   local.tm_hour, local.tm_min, second, static_cast<int>(now.tv_nsec / 1000000)};
}

}  // namespace tarn
