#include "ui/interactive_desktop_win.h"

#include <windows.h>

namespace tarn {

bool hasInteractiveDesktop() {
  const HWINSTA station = GetProcessWindowStation();
  if (station == nullptr) return false;
  USEROBJECTFLAGS flags{};
  DWORD needed = 0;
  if (!GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof(flags), &needed)) return false;
  return (flags.dwFlags & WSF_VISIBLE) != 0;
}

}  // namespace tarn
