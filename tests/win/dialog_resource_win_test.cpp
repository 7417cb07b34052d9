// The compiled dialog templates read back from the executable's resources.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource_ids.h"

namespace {

struct Control {
  DWORD style;
  int x, y, cx, cy;
  DWORD id;
  std::wstring className;  // or "#<ordinal>"
  std::wstring text;       // or "#<ordinal>"
};

struct Dialog {
  DWORD style;
  DWORD exStyle;
  int x, y, cx, cy;
  std::wstring caption;
  WORD pointSize, weight;
  BYTE italic, charset;
  std::wstring font;
  std::vector<Control> controls;
};

// A name field of a template: 0, 0xFFFF and an ordinal, or a text.
std::wstring readName(const WORD*& at) {
  if (*at == 0xFFFF) {
    std::wstring ordinal = L"#" + std::to_wstring(at[1]);
    at += 2;
    return ordinal;
  }
  std::wstring text(reinterpret_cast<const wchar_t*>(at));
  at += text.size() + 1;
  return text;
}

const WORD* alignToDword(const WORD* at) {
  return reinterpret_cast<const WORD*>((reinterpret_cast<uintptr_t>(at) + 3) & ~uintptr_t{3});
}

bool readDialog(int id, Dialog& out) {
  HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
  if (resource == nullptr) return false;
  const auto* at = static_cast<const WORD*>(LockResource(LoadResource(nullptr, resource)));
  if (at[0] != 1 || at[1] != 0xFFFF) return false;  // DLGTEMPLATEEX
  const auto dword = [](const WORD* p) { return static_cast<DWORD>(p[0] | p[1] << 16); };
  out.exStyle = dword(at + 4);
  out.style = dword(at + 6);
  const WORD count = at[8];
  out.x = static_cast<short>(at[9]);
  out.y = static_cast<short>(at[10]);
  out.cx = static_cast<short>(at[11]);
  out.cy = static_cast<short>(at[12]);
  at += 13;
  readName(at);  // menu
  readName(at);  // class
  out.caption = readName(at);
  out.pointSize = at[0];
  out.weight = at[1];
  out.italic = static_cast<BYTE>(at[2] & 0xFF);
  out.charset = static_cast<BYTE>(at[2] >> 8);
  at += 3;
  out.font = readName(at);
  for (WORD i = 0; i < count; ++i) {
    at = alignToDword(at);
    Control control;
    control.style = dword(at + 4);
    control.x = static_cast<short>(at[6]);
    control.y = static_cast<short>(at[7]);
    control.cx = static_cast<short>(at[8]);
    control.cy = static_cast<short>(at[9]);
    control.id = dword(at + 10);
    at += 12;
    control.className = readName(at);
    // Button, edit and static by their ordinals or their names, in any case.
    static const wchar_t* const kOrdinalClasses[] = {L"button", L"edit", L"static"};
    for (int ordinal = 0; ordinal < 3; ++ordinal) {
      if (control.className == L"#" + std::to_wstring(128 + ordinal)) control.className = kOrdinalClasses[ordinal];
    }
    CharLowerW(control.className.data());
    control.text = readName(at);
    at += 1 + *at / sizeof(WORD);  // creation data
    out.controls.push_back(control);
  }
  return true;
}

TEST(DialogResource, JreNotFoundMatchesItsTable) {
  Dialog dialog;
  ASSERT_TRUE(readDialog(TARN_MISSING_JRE_DIALOG, dialog));
  EXPECT_EQ(dialog.style, 0x80C800C8u);
  EXPECT_EQ(dialog.exStyle, 0u);
  EXPECT_EQ(dialog.x, 0);
  EXPECT_EQ(dialog.y, 0);
  EXPECT_EQ(dialog.cx, 219);
  EXPECT_EQ(dialog.cy, 145);
  EXPECT_EQ(dialog.caption, L"JRE Not Found");
  EXPECT_EQ(dialog.pointSize, 8);
  EXPECT_EQ(dialog.weight, 400);
  EXPECT_EQ(dialog.italic, 0);
  EXPECT_EQ(dialog.charset, 1);
  EXPECT_EQ(dialog.font, L"MS Shell Dlg");
  const DWORD base = WS_CHILD | WS_VISIBLE;
  const Control expected[] = {
      {base | WS_TABSTOP | BS_DEFPUSHBUTTON, 107, 122, 50, 14, 1, L"button", L"OK"},
      {base | WS_TABSTOP | BS_PUSHBUTTON, 161, 122, 50, 14, 2, L"button", L"Cancel"},
      {base | WS_BORDER | WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL, 60, 89, 94, 14, 201, L"edit", L""},
      {base | WS_GROUP | SS_LEFT, 12, 92, 45, 8, 0xFFFFFFFF, L"static", L"JRE Path:"},
      {base | WS_TABSTOP | BS_PUSHBUTTON, 157, 89, 50, 14, 202, L"button", L"Browse..."},
      {base | BS_GROUPBOX, 8, 11, 203, 103, 0xFFFFFFFF, L"button", L"Missing JRE"},
      {base | SS_ICON, 16, 24, 20, 20, 204, L"static", L"#32513"},
      {base | WS_GROUP | SS_LEFT, 42, 24, 149, 24, 203, L"static", L""},
      {base | WS_GROUP | SS_LEFT, 44, 55, 75, 8, 205, L"static", L"https://adoptium.net/marketplace/"},
      {base | WS_GROUP | SS_LEFT, 12, 73, 195, 8, 206, L"static",
       L"If you have a JRE installed you can browse for it below:"},
  };
  ASSERT_EQ(dialog.controls.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE("control " + std::to_string(i));
    const Control& a = dialog.controls[i];
    const Control& e = expected[i];
    EXPECT_EQ(a.className, e.className);
    EXPECT_EQ(a.style, e.style);
    EXPECT_EQ(a.x, e.x);
    EXPECT_EQ(a.y, e.y);
    EXPECT_EQ(a.cx, e.cx);
    EXPECT_EQ(a.cy, e.cy);
    EXPECT_EQ(a.id, e.id);
    EXPECT_EQ(a.text, e.text);
  }
}

TEST(DialogResource, JavaExceptionHasItsTextBoxAndButtons) {
  Dialog dialog;
  ASSERT_TRUE(readDialog(TARN_EXCEPTION_DIALOG, dialog));
  EXPECT_EQ(dialog.caption, L"Java Exception");
  ASSERT_EQ(dialog.controls.size(), 4u);
  EXPECT_EQ(dialog.controls[0].text, L"The java process has thrown the following uncaught exception:");
  const DWORD trace = dialog.controls[1].style;
  EXPECT_EQ(trace & (ES_MULTILINE | WS_VSCROLL | ES_READONLY), DWORD{ES_MULTILINE | WS_VSCROLL | ES_READONLY});
  EXPECT_EQ(dialog.controls[2].text, L"Ignore");
  EXPECT_EQ(dialog.controls[3].text, L"Stop");
}

}  // namespace
