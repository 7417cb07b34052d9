// Windows: parking the worker thread.
#include <windows.h>

#include "run/main_class.h"

namespace tarn {

void sleepForever() {
  for (;;) Sleep(INFINITE);
}

}  // namespace tarn
