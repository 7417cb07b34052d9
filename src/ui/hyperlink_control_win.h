#pragma once
// A static text control of a dialog turned into a link: drawn underlined in
// the user's link colours, with a hand cursor and a tooltip over its text,
// opened with the shell on a click or on Enter or Space while it has the
// focus. It takes over the control's window procedure and gives it back
// when the control is destroyed.

#include <windows.h>

#include <string>

#include "base/scoped_handle_win.h"

namespace tarn {

using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);

class HyperlinkControl {
 public:
  HyperlinkControl() = default;
  ~HyperlinkControl();
  HyperlinkControl(const HyperlinkControl&) = delete;
  HyperlinkControl& operator=(const HyperlinkControl&) = delete;

  // Takes over `control`, whose window text is the address. `font` is the
  // control's font (none: the icon-title font). `open` opens an address
  // (the shell's ShellExecuteW); null leaves the link unable to open. False,
  // and the control left a plain text, when it cannot be subclassed.
  bool attach(HWND control, HFONT font, ShellExecuteFunction open);

  // Opens the address; true when the shell took the request.
  bool navigate();

  bool visited() const { return visited_; }
  COLORREF linkColor() const { return linkColor_; }
  COLORREF visitedColor() const { return visitedColor_; }
  // The part of the control's client area that its text covers.
  const RECT& linkRect() const { return linkRect_; }

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT passOn(UINT message, WPARAM wParam, LPARAM lParam);
  void createLinkFont();
  void calcLinkRect();
  void addTooltip();
  void readLinkColors();
  UINT textFormat() const;
  void paint(HDC dc);
  void paintWithBackground(HDC dc);
  bool inLink(LPARAM point) const;
  void redraw(bool update);
  void release();

  HWND window_ = nullptr;
  WNDPROC previous_ = nullptr;
  ShellExecuteFunction open_ = nullptr;
  std::wstring url_;
  HCURSOR hand_ = nullptr;
  HFONT normalFont_ = nullptr;
  ScopedGdiObject ownNormalFont_;
  ScopedGdiObject linkFont_;
  RECT linkRect_{};
  ScopedWindow tooltip_;
  COLORREF linkColor_ = RGB(0, 0, 255);
  COLORREF visitedColor_ = RGB(128, 0, 128);
  bool visited_ = false;
};

}  // namespace tarn
