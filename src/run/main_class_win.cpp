// Windows: the platform steps of running the main class.
#include <windows.h>

#include "run/main_class.h"

namespace tarn {

void signalMainStarted(void* event) { SetEvent(static_cast<HANDLE>(event)); }

void sleepForever() {
  for (;;) Sleep(INFINITE);
}

}  // namespace tarn
