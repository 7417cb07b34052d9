#include "support/open_handles_win.h"

#include <windows.h>

namespace tarn::test {

std::vector<uintptr_t> openHandles() {
  std::vector<uintptr_t> open;
  for (uintptr_t value = 4; value < 0x10000; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) open.push_back(value);
  }
  return open;
}

}  // namespace tarn::test
