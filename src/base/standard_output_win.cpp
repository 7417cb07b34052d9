// Windows: writing launcher text to standard output.
#include <windows.h>

#include <string>

#include "base/error_output.h"

namespace tarn {

// A console gets the UTF-16 text itself; a pipe or file gets UTF-8, so no
// character is lost to a code page. Written straight to the handle, so the
// text is never held in a buffer when the VM writes its own output.
void writeStandardOutput(const std::wstring& text) {
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output == nullptr || output == INVALID_HANDLE_VALUE || text.empty()) return;
  DWORD mode = 0;
  DWORD written = 0;
  if (GetConsoleMode(output, &mode)) {
    WriteConsoleW(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return;
  std::string narrow(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), bytes, nullptr, nullptr);
  WriteFile(output, narrow.data(), static_cast<DWORD>(narrow.size()), &written, nullptr);
}

}  // namespace tarn
