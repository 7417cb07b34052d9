#include "ui/exception_dialog_win.h"

#include <windows.h>

#include "resource_ids.h"

namespace tarn {
namespace {

// The text box wants CR LF between lines; a trace may have LF alone.
std::wstring withWindowsLineEnds(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) out += L'\r';
    out += text[i];
  }
  return out;
}

INT_PTR CALLBACK exceptionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetDlgItemTextW(dialog, TARN_EXCEPTION_TRACE, reinterpret_cast<const wchar_t*>(lParam));
    // The focus on Ignore rather than on the text box, which would show the
    // whole trace selected.
    SetFocus(GetDlgItem(dialog, TARN_EXCEPTION_IGNORE));
    return FALSE;
  }
  if (message != WM_COMMAND) return FALSE;
  const WORD command = LOWORD(wParam);
  if (command == TARN_EXCEPTION_IGNORE || command == TARN_EXCEPTION_STOP || command == IDCANCEL) {
    EndDialog(dialog, command);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

bool askToStopAfterException(const std::wstring& trace) {
  const std::wstring text = withWindowsLineEnds(trace);
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(TARN_EXCEPTION_DIALOG), nullptr,
                         &exceptionDialogProc, reinterpret_cast<LPARAM>(text.c_str())) == TARN_EXCEPTION_STOP;
}

}  // namespace tarn
