#include "ui/trace_text.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

TEST(DialogTraceText, Cases) {
  struct Case {
    const char* what;
    std::wstring trace;
    std::wstring shown;
  };
  const Case cases[] = {
      {"CR LF lines stay", L"E: m\r\n\tat A.b()\r\n", L"E: m\r\n\tat A.b()\r\n"},
      {"LF lines become CR LF", L"E: m\n\tat A.b()\n", L"E: m\r\n\tat A.b()\r\n"},
      {"a NUL in the message does not end the text", std::wstring(L"E: a\0b\r\n\tat A.b()\r\n", 19),
       L"E: a\\u0000b\r\n\tat A.b()\r\n"},
      {"an LF in a CR LF trace fakes a line", L"E: m\n\tat Fake.line()\r\n\tat A.b()\r\n",
       L"E: m\\u000A\tat Fake.line()\r\n\tat A.b()\r\n"},
      {"a CR LF in an LF trace fakes a line", L"E: m\r\n\tat Fake.line()\n\tat A.b()\n",
       L"E: m\\u000D\r\n\tat Fake.line()\r\n\tat A.b()\r\n"},
      {"a lone CR", L"E: a\rb\r\n", L"E: a\\u000Db\r\n"},
      {"vertical tab, form feed, escape, DEL, NEL", L"E: \v\f\x1b\x7f\x85\r\n",
       L"E: \\u000B\\u000C\\u001B\\u007F\\u0085\r\n"},
      {"line and paragraph separators", L"E: a\u2028b\u2029c\r\n", L"E: a\\u2028b\\u2029c\r\n"},
      {"direction marks, embeddings, overrides and isolates",
       L"E: "
       L"\u200e\u200f\u202a\u202b\u202c\u202d\u202e\u2066\u2067\u2068\u2069"
       L"\u061c\r\n",
       L"E: "
       L"\\u200E\\u200F\\u202A\\u202B\\u202C\\u202D\\u202E\\u2066\\u2067\\u2068"
       L"\\u2069\\u061C\r\n"},
      {"tab, letters of other scripts and a backslash stay", L"E: \t\u00e9\u05d0\u4e2d C:\\x\r\n",
       L"E: \t\u00e9\u05d0\u4e2d C:\\x\r\n"},
      {"no line end at the end: both kinds break", L"E: a\r\nb\nc", L"E: a\r\nb\r\nc"},
      {"empty", L"", L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(dialogTraceText(c.trace), c.shown);
  }
}

}  // namespace
}  // namespace tarn
