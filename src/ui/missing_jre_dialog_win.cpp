#include "ui/missing_jre_dialog_win.h"

#include <commctrl.h>
#include <shlobj.h>

#include "base/diagnosis.h"
#include "base/message_table.h"
#include "base/path.h"
#include "base/system_library_win.h"
#include "discovery/java_home.h"
#include "resource_ids.h"
#include "ui/dialog_placement.h"
#include "ui/hyperlink_control_win.h"
#include "ui/web_address.h"

namespace tarn {
namespace {

// What the dialog needs of the shell, the common controls and COM, loaded
// for as long as it is shown.
struct ShellParts {
  ScopedModule shell = loadSystemLibrary(L"shell32.dll");
  ScopedModule controls = loadSystemLibrary(L"comctl32.dll");
  ScopedModule com = loadSystemLibrary(L"ole32.dll");
  decltype(&SHBrowseForFolderW) browseForFolder = systemFunction<decltype(&SHBrowseForFolderW)>(shell, "SHBrowseForFolderW");
  decltype(&SHGetPathFromIDListW) pathFromIdList =
      systemFunction<decltype(&SHGetPathFromIDListW)>(shell, "SHGetPathFromIDListW");
  ShellExecuteFunction shellExecute = systemFunction<ShellExecuteFunction>(shell, "ShellExecuteW");
  decltype(&InitCommonControlsEx) initControls =
      systemFunction<decltype(&InitCommonControlsEx)>(controls, "InitCommonControlsEx");
  decltype(&CoInitializeEx) comInitialize = systemFunction<decltype(&CoInitializeEx)>(com, "CoInitializeEx");
  decltype(&CoUninitialize) comUninitialize = systemFunction<decltype(&CoUninitialize)>(com, "CoUninitialize");
  decltype(&CoTaskMemFree) comFree = systemFunction<decltype(&CoTaskMemFree)>(com, "CoTaskMemFree");
};

class MissingJreDialog {
 public:
  MissingJreDialog(const std::wstring& text, const std::wstring& url, JvmType jvmType, const ShellParts& shell,
                   MissingJrePick& pick)
      : text_(text), url_(url), jvmType_(jvmType), shell_(shell), pick_(pick) {}

  static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void onInitDialog();
  void onBrowse();
  void fitLinkToText(HWND link);
  void centre();

  HWND dialog_ = nullptr;
  const std::wstring& text_;
  const std::wstring& url_;
  JvmType jvmType_;
  const ShellParts& shell_;
  MissingJrePick& pick_;
  HyperlinkControl link_;
};

INT_PTR CALLBACK MissingJreDialog::dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<MissingJreDialog*>(lParam);
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    self->dialog_ = dialog;
    self->onInitDialog();
    // The system moves no focus itself.
    return FALSE;
  }
  auto* self = reinterpret_cast<MissingJreDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (self == nullptr || message != WM_COMMAND) return FALSE;
  switch (LOWORD(wParam)) {
    case IDOK:
    case IDCANCEL:
      EndDialog(dialog, LOWORD(wParam));
      return TRUE;
    case TARN_MISSING_JRE_BROWSE:
      self->onBrowse();
      return TRUE;
    default:
      return FALSE;
  }
}

// The address may be longer than the template's line for it: the control
// grows to the width of its text, up to the frame around it.
void MissingJreDialog::fitLinkToText(HWND link) {
  RECT bounds{44, 0, 207, 0};  // dialog units: the link's left edge, the frame's inner right edge
  MapDialogRect(dialog_, &bounds);
  RECT current;
  GetWindowRect(link, &current);
  MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&current), 2);
  RECT measured{0, 0, 0, 0};
  if (HDC dc = GetDC(link)) {
    const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(link, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = font != nullptr ? SelectObject(dc, font) : nullptr;
    DrawTextW(dc, url_.c_str(), -1, &measured, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    if (previous != nullptr) SelectObject(dc, previous);
    ReleaseDC(link, dc);
  }
  LONG width = measured.right + 2;
  if (width > bounds.right - current.left) width = bounds.right - current.left;
  if (width > current.right - current.left) {
    SetWindowPos(link, nullptr, 0, 0, width, current.bottom - current.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void MissingJreDialog::onInitDialog() {
  const HWND link = GetDlgItem(dialog_, TARN_MISSING_JRE_LINK);
  SetWindowTextW(link, url_.c_str());
  fitLinkToText(link);
  // Without the subclassing the address stays a plain text, which the
  // shell is never asked to open.
  if (isWebAddress(url_)) {
    link_.attach(link, reinterpret_cast<HFONT>(SendMessageW(link, WM_GETFONT, 0, 0)), shell_.shellExecute);
  } else if (diagnosing()) {
    diagnose("Download URL %s: no http: or https: address, shown as plain text, not as a link", url_);
  }
  SetDlgItemTextW(dialog_, TARN_MISSING_JRE_TEXT, text_.c_str());
  EnableWindow(GetDlgItem(dialog_, IDOK), FALSE);
  centre();
}

void MissingJreDialog::centre() {
  HWND owner = GetWindow(dialog_, GW_OWNER);
  if (owner != nullptr) {
    const LONG style = GetWindowLongW(owner, GWL_STYLE);
    if ((style & WS_VISIBLE) == 0 || (style & WS_MINIMIZE) != 0) owner = nullptr;
  }
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  const HMONITOR nearest = MonitorFromWindow(owner != nullptr ? owner : dialog_, MONITOR_DEFAULTTONEAREST);
  if (nearest == nullptr || !GetMonitorInfoW(nearest, &monitor)) return;
  RECT window;
  RECT ownerRect;
  GetWindowRect(dialog_, &window);
  const auto toScreenRect = [](const RECT& r) { return ScreenRect{r.left, r.top, r.right, r.bottom}; };
  ScreenRect reference{};
  if (owner != nullptr && GetWindowRect(owner, &ownerRect)) reference = toScreenRect(ownerRect);
  const ScreenPoint position = centredPosition(toScreenRect(window), owner != nullptr ? &reference : nullptr,
                                               toScreenRect(monitor.rcWork));
  SetWindowPos(dialog_, nullptr, position.x, position.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MissingJreDialog::onBrowse() {
  if (shell_.browseForFolder == nullptr || shell_.pathFromIdList == nullptr) return;
  const std::wstring title = loadMessage(MessageId::BrowseForJreFolder);
  wchar_t displayName[MAX_PATH] = {};
  BROWSEINFOW info{};
  info.hwndOwner = dialog_;
  info.pszDisplayName = displayName;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON;
  // The new style of the browser needs COM on this thread.
  const bool comStarted =
      shell_.comInitialize != nullptr && SUCCEEDED(shell_.comInitialize(nullptr, COINIT_APARTMENTTHREADED));
  PIDLIST_ABSOLUTE picked = shell_.browseForFolder(&info);
  wchar_t path[MAX_PATH] = {};
  const bool hasPath = picked != nullptr && shell_.pathFromIdList(picked, path);
  if (picked != nullptr && shell_.comFree != nullptr) shell_.comFree(picked);
  if (comStarted && shell_.comUninitialize != nullptr) shell_.comUninitialize();
  // A cancel, or an item that is no folder of the file system, changes nothing.
  if (!hasPath || path[0] == L'\0') return;
  SetDlgItemTextW(dialog_, TARN_MISSING_JRE_PATH, path);
  pick_.folder = withTrailingSeparator(path, L'\\');
  bool server = false;
  pick_.jvmLibrary = findJvmLibrary(pick_.folder, jvmType_, server);
  // A jvm.dll whose path is too long for the system's loader is no runtime
  // to offer, even where the file system finds it.
  if (pick_.jvmLibrary.size() >= MAX_PATH) pick_.jvmLibrary.clear();
  EnableWindow(GetDlgItem(dialog_, IDOK), !pick_.jvmLibrary.empty());
}

}  // namespace

INT_PTR showMissingJreDialog(const std::wstring& text, const std::wstring& downloadUrl, JvmType jvmType, HWND owner,
                             MissingJrePick& pick) {
  const ShellParts shell;
  if (shell.initControls != nullptr) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    shell.initControls(&controls);
  }
  pick = MissingJrePick{};
  MissingJreDialog dialog(text, downloadUrl, jvmType, shell, pick);
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(TARN_MISSING_JRE_DIALOG), owner,
                         &MissingJreDialog::dialogProc, reinterpret_cast<LPARAM>(&dialog));
}

}  // namespace tarn
