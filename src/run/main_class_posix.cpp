// POSIX: parking the worker thread.
#include <unistd.h>

#include "run/main_class.h"

namespace tarn {

void sleepForever() {
  for (;;) pause();
}

}  // namespace tarn
