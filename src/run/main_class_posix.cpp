// POSIX: the platform steps of running the main class.
#include <unistd.h>

#include "run/main_class.h"

namespace tarn {

// The "main started" event belongs to the single-instance guard, which only
// Windows has; nothing ever sets one here.
void signalMainStarted(void*) {}

void sleepForever() {
  for (;;) pause();
}

}  // namespace tarn
