#include "base/format.h"

#include <gtest/gtest.h>

#include <climits>

namespace tarn {
namespace {

TEST(FormatText, ConversionsAndLiterals) {
  const std::wstring path = L"C:\\Java\\bin\\server\\jvm.dll";
  struct Case {
    std::wstring result;
    std::wstring expected;
  } cases[] = {
      {formatText(L"latest version", {}), L"latest version"},
      {formatText(L"version between %s and %s", {L"1.5", L"1.6"}), L"version between 1.5 and 1.6"},
      {formatText(L"Failed: %s (errno = %d).\n", {path, 126}), L"Failed: " + path + L" (errno = 126).\n"},
      {formatText(L"%d %d %d", {0, -1, INT32_MIN}), L"0 -1 -2147483648"},
      {formatText(L"%d", {static_cast<uint32_t>(0xC0000017u)}), L"-1073741801"},
      {formatText(L"100%% sure", {}), L"100% sure"},
      {formatText(L"%x %", {}), L"%x %"},            // unknown conversions stay as written
      {formatText(L"[%s][%d]", {}), L"[][]"},        // missing arguments yield nothing
      {formatText(L"[%d]", {L"text"}), L"[]"},       // an argument of the other kind too
      {formatText(L"%s", {L"50%s %d"}), L"50%s %d"}, // arguments are not formatted again
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(cases[i].result, cases[i].expected);
  }
}

}  // namespace
}  // namespace tarn
