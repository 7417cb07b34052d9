// Windows: writing launcher text to standard output.
#include <windows.h>

#include <string>

#include "base/error_output.h"
#include "base/text_output_win.h"

namespace tarn {
namespace {

// Lines end in CR LF, as the platform's text streams (and the Java
// application's println) end them, so a captured log has one kind of line end.
std::wstring withCarriageReturns(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size() + 8);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) out += L'\r';
    out += text[i];
  }
  return out;
}

}  // namespace

// A console gets the UTF-16 text itself; a pipe or file gets UTF-8, so no
// character is lost to a code page. Written straight to the handle, so the
// text is never held in a buffer when the VM writes its own output.
void writeTextToHandle(HANDLE output, const std::wstring& text) {
  if (output == nullptr || output == INVALID_HANDLE_VALUE || text.empty()) return;
  const std::wstring lines = withCarriageReturns(text);
  DWORD mode = 0;
  DWORD written = 0;
  if (GetConsoleMode(output, &mode)) {
    WriteConsoleW(output, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
    return;
  }
  int bytes = WideCharToMultiByte(CP_UTF8, 0, lines.data(), static_cast<int>(lines.size()), nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return;
  std::string narrow(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, lines.data(), static_cast<int>(lines.size()), narrow.data(), bytes, nullptr, nullptr);
  WriteFile(output, narrow.data(), static_cast<DWORD>(narrow.size()), &written, nullptr);
}

void writeStandardOutput(const std::wstring& text) { writeTextToHandle(GetStdHandle(STD_OUTPUT_HANDLE), text); }

}  // namespace tarn
