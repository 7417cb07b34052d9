// The launcher's own lines on Windows end in CR LF, like the Java
// application's println, whether they go to a pipe or a file.
#include <gtest/gtest.h>

#include "base/error_output.h"
#include "support/stdout_capture.h"

namespace tarn {
namespace {

TEST(StandardOutputWin, LinesEndInCarriageReturnLineFeed) {
  const struct {
    const char* name;
    std::wstring text;
    std::string raw;
  } cases[] = {
      {"one line", L"x\n", "x\r\n"},
      {"lines inside", L"a\nb\n", "a\r\nb\r\n"},
      {"an existing CR LF stays one", L"a\r\nb", "a\r\nb"},
      {"a lone CR stays", L"a\rb", "a\rb"},
      {"a line end first", L"\nx", "\r\nx"},
      {"UTF-8 around it", L"\u00e4\n\u00f6", "\xc3\xa4\r\n\xc3\xb6"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::StdoutCapture capture;
    writeStandardOutput(c.text);
    capture.finish();
    EXPECT_EQ(capture.raw(), c.raw);
  }
}

}  // namespace
}  // namespace tarn
