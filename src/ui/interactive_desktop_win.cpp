#include "ui/interactive_desktop_win.h"

#include <windows.h>

namespace tarn {

bool hasInteractiveDesktop() {
  const HWINSTA station = GetProcessWindowStation();
  if (station == nullptr) return false;
  USEROBJECTFLAGS flags{};
  DWORD needed = 0;
  if (!GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof(flags), &needed)) return false;
  if ((flags.dwFlags & WSF_VISIBLE) == 0) return false;
  // Only the window station WinSta0 has the screen, keyboard and mouse.
  wchar_t name[16] = {};
  if (!GetUserObjectInformationW(station, UOI_NAME, name, sizeof(name), &needed)) return false;
  return lstrcmpiW(name, L"WinSta0") == 0;
}

}  // namespace tarn
