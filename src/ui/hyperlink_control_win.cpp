#include "ui/hyperlink_control_win.h"

#include <commctrl.h>

#include "ui/link_color.h"
#include "ui/web_address.h"

namespace tarn {
namespace {

constexpr wchar_t kColorKey[] = L"Software\\Microsoft\\Internet Explorer\\Settings";

// A colour value of the user's browser settings; `color` stays as it is
// when the value is missing or malformed.
void readColorValue(HKEY key, const wchar_t* name, COLORREF& color) {
  uint8_t data[kColorValueBytes];
  DWORD type = 0;
  DWORD size = sizeof(data);
  if (RegQueryValueExW(key, name, nullptr, &type, data, &size) != ERROR_SUCCESS) return;
  std::wstring text;
  uint32_t parsed = 0;
  if (colorValueText(type, data, size, text) && parseColorText(text, parsed)) color = parsed;
}

}  // namespace

HyperlinkControl::~HyperlinkControl() { release(); }

bool HyperlinkControl::attach(HWND control, HFONT font, ShellExecuteFunction open) {
  if (window_ != nullptr || control == nullptr) return false;
  // The object is found from the control's user data; a static control has
  // no use of its own for it.
  SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetLastError(ERROR_SUCCESS);
  const LONG_PTR previous =
      SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HyperlinkControl::windowProc));
  if (previous == 0 && GetLastError() != ERROR_SUCCESS) {
    SetWindowLongPtrW(control, GWLP_USERDATA, 0);
    return false;
  }
  window_ = control;
  previous_ = reinterpret_cast<WNDPROC>(previous);
  open_ = open;

  // A static control sends no mouse input on without SS_NOTIFY.
  wchar_t className[8];
  if (GetClassNameW(control, className, 8) > 0 && lstrcmpiW(className, L"static") == 0) {
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    if ((style & SS_NOTIFY) == 0) SetWindowLongW(control, GWL_STYLE, style | SS_NOTIFY);
  }
  hand_ = LoadCursorW(nullptr, IDC_HAND);
  normalFont_ = font;
  if (normalFont_ == nullptr) {
    LOGFONTW logFont{};
    if (SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(logFont), &logFont, 0)) {
      ownNormalFont_.reset(CreateFontIndirectW(&logFont));
      normalFont_ = static_cast<HFONT>(ownNormalFont_.get());
    }
  }
  createLinkFont();
  tooltip_.reset(CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, control, nullptr, GetModuleHandleW(nullptr), nullptr));
  const int length = GetWindowTextLengthW(control);
  if (length > 0) {
    url_.resize(static_cast<size_t>(length) + 1);
    url_.resize(static_cast<size_t>(GetWindowTextW(control, url_.data(), length + 1)));
  }
  calcLinkRect();
  addTooltip();
  readLinkColors();
  return true;
}

void HyperlinkControl::createLinkFont() {
  LOGFONTW logFont{};
  const HGDIOBJ base = normalFont_ != nullptr ? static_cast<HGDIOBJ>(normalFont_) : GetStockObject(SYSTEM_FONT);
  if (GetObjectW(base, sizeof(logFont), &logFont) == 0) return;
  logFont.lfUnderline = 1;
  linkFont_.reset(CreateFontIndirectW(&logFont));
}

UINT HyperlinkControl::textFormat() const {
  const LONG style = GetWindowLongW(window_, GWL_STYLE);
  UINT format = DT_WORDBREAK;
  if (style & SS_CENTER) {
    format |= DT_CENTER;
  } else if (style & SS_RIGHT) {
    format |= DT_RIGHT;
  }
  return format;
}

void HyperlinkControl::calcLinkRect() {
  if (!IsWindow(window_) || url_.empty()) return;
  RECT client;
  GetClientRect(window_, &client);
  linkRect_ = client;
  HDC dc = GetDC(window_);
  if (dc != nullptr) {
    const HGDIOBJ previousFont = linkFont_ ? SelectObject(dc, linkFont_.get()) : nullptr;
    const UINT format = textFormat();
    DrawTextW(dc, url_.c_str(), -1, &linkRect_, DT_CALCRECT | format);
    if (previousFont != nullptr) SelectObject(dc, previousFont);
    ReleaseDC(window_, dc);
    const LONG shift = client.right - linkRect_.right;
    if (format & DT_CENTER) {
      OffsetRect(&linkRect_, shift / 2, 0);
    } else if (format & DT_RIGHT) {
      OffsetRect(&linkRect_, shift, 0);
    }
  }
  if (tooltip_) {
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = window_;
    tool.uId = 1;
    tool.rect = linkRect_;
    SendMessageW(tooltip_.get(), TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void HyperlinkControl::addTooltip() {
  if (!tooltip_ || url_.empty()) return;
  SendMessageW(tooltip_.get(), TTM_ACTIVATE, 1, 0);
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = window_;
  tool.uId = 1;
  tool.rect = linkRect_;
  tool.hinst = GetModuleHandleW(nullptr);
  tool.lpszText = url_.data();
  SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void HyperlinkControl::readLinkColors() {
  ScopedRegistryKey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kColorKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return;
  readColorValue(key.get(), L"Anchor Color", linkColor_);
  readColorValue(key.get(), L"Anchor Color Visited", visitedColor_);
}

bool HyperlinkControl::navigate() {
  if (open_ == nullptr || !isWebAddress(url_)) return false;
  const INT_PTR result =
      reinterpret_cast<INT_PTR>(open_(nullptr, L"open", url_.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result <= 32) return false;
  visited_ = true;
  redraw(false);
  return true;
}

void HyperlinkControl::paint(HDC dc) {
  SetBkMode(dc, TRANSPARENT);
  COLORREF color = visited_ ? visitedColor_ : linkColor_;
  if (!IsWindowEnabled(window_)) color = GetSysColor(COLOR_GRAYTEXT);
  const COLORREF previousColor = SetTextColor(dc, color);
  const HGDIOBJ font = linkFont_ ? linkFont_.get() : static_cast<HGDIOBJ>(normalFont_);
  const HGDIOBJ previousFont = font != nullptr ? SelectObject(dc, font) : nullptr;
  RECT rect = linkRect_;
  DrawTextW(dc, url_.c_str(), -1, &rect, textFormat());
  if (GetFocus() == window_) DrawFocusRect(dc, &linkRect_);
  SetTextColor(dc, previousColor);
  if (previousFont != nullptr) SelectObject(dc, previousFont);
}

void HyperlinkControl::paintWithBackground(HDC dc) {
  const HWND parent = GetParent(window_);
  const HBRUSH brush = reinterpret_cast<HBRUSH>(
      SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window_)));
  if (brush != nullptr) {
    RECT client;
    GetClientRect(window_, &client);
    FillRect(dc, &client, brush);
  }
  paint(dc);
}

bool HyperlinkControl::inLink(LPARAM point) const {
  const POINT where{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
  return PtInRect(&linkRect_, where) != 0;
}

void HyperlinkControl::redraw(bool update) {
  InvalidateRect(window_, nullptr, TRUE);
  if (update) UpdateWindow(window_);
}

void HyperlinkControl::release() {
  // The tooltip is owned by the control, and the system may have destroyed
  // it with the control already.
  if (!IsWindow(tooltip_.get())) tooltip_.release();
  tooltip_.reset();
  linkFont_.reset();
  ownNormalFont_.reset();
  normalFont_ = nullptr;
}

LRESULT HyperlinkControl::passOn(UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(previous_, window_, message, wParam, lParam);
}

LRESULT CALLBACK HyperlinkControl::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* link = reinterpret_cast<HyperlinkControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (link == nullptr || link->window_ != window) return DefWindowProcW(window, message, wParam, lParam);
  if (message != WM_NCDESTROY) return link->handle(message, wParam, lParam);
  // The control's own clean-up runs first; then it gets its procedure back.
  const WNDPROC previous = link->previous_;
  const LRESULT result = CallWindowProcW(previous, window, message, wParam, lParam);
  if (GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&HyperlinkControl::windowProc)) {
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  }
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  link->release();
  link->window_ = nullptr;
  return result;
}

LRESULT HyperlinkControl::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && tooltip_) {
    MSG relayed{window_, message, wParam, lParam, 0, {0, 0}};
    SendMessageW(tooltip_.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
  }
  switch (message) {
    case WM_DESTROY:
      release();
      break;
    case WM_MOUSEMOVE:
      if (url_.empty() || !inLink(lParam)) break;
      SetCursor(hand_);
      return 0;
    case WM_LBUTTONDOWN:
      if (inLink(lParam)) {
        SetFocus(window_);
        SetCapture(window_);
      }
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == window_) {
        ReleaseCapture();
        if (inLink(lParam)) navigate();
      }
      return 0;
    case WM_SETCURSOR: {
      POINT cursor;
      if (url_.empty() || !GetCursorPos(&cursor) || !ScreenToClient(window_, &cursor)) break;
      if (!PtInRect(&linkRect_, cursor)) break;
      SetCursor(hand_);
      return 1;
    }
    case WM_CHAR:
      if (wParam == VK_RETURN || wParam == VK_SPACE) navigate();
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      redraw(false);
      return 0;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      if (wParam != 0) {
        paintWithBackground(reinterpret_cast<HDC>(wParam));
      } else {
        PAINTSTRUCT ps;
        if (HDC dc = BeginPaint(window_, &ps)) {
          paintWithBackground(dc);
          EndPaint(window_, &ps);
        }
      }
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      calcLinkRect();
      redraw(false);
      return 0;
    case WM_SETFONT:
      ownNormalFont_.reset();
      normalFont_ = reinterpret_cast<HFONT>(wParam);
      createLinkFont();
      calcLinkRect();
      if (lParam != 0) redraw(true);
      return 0;
    case WM_ENABLE:
      redraw(true);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(normalFont_);
    case WM_UPDATEUISTATE:
    case WM_MOUSELEAVE:
      return 0;
    default:
      break;
  }
  return passOn(message, wParam, lParam);
}

}  // namespace tarn
