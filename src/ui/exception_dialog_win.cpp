#include "ui/exception_dialog_win.h"

#include <windows.h>

#include "resource_ids.h"
#include "ui/trace_text.h"

namespace tarn {
namespace {

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
  const std::wstring text = dialogTraceText(trace);
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(TARN_EXCEPTION_DIALOG), nullptr,
                         &exceptionDialogProc, reinterpret_cast<LPARAM>(text.c_str())) == TARN_EXCEPTION_STOP;
}

}  // namespace tarn
