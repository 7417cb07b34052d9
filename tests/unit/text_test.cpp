// The conversions between wide text and the UTF-16 of Java strings and of
// the VM's modified UTF-8, on either width of wchar_t.
#include "base/text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace tarn {
namespace {

constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;

std::wstring wide(std::initializer_list<uint32_t> values) {
  std::wstring text;
  for (uint32_t value : values) text += static_cast<wchar_t>(value);
  return text;
}

TEST(ToUtf16, TheCodeUnitsJavaStringsHold) {
  struct Case {
    std::string name;
    std::wstring text;
    std::u16string units;
  };
  std::vector<Case> cases = {
      {"empty", L"", u""},
      {"ASCII", L"com.example.App", u"com.example.App"},
      {"basic plane", L"\u00e4\u20ac\uFFFF", u"\u00e4\u20ac\uFFFF"},
      {"outside the basic plane: a surrogate pair", L"a\U0001F600b", u"a\U0001F600b"},
      {"last code point", L"\U0010FFFF", u"\U0010FFFF"},
      {"unpaired high surrogate passes unchanged", wide({0xD800, 'x'}), u"\xD800x"},
      {"unpaired low surrogate passes unchanged", wide({'x', 0xDFFF}), u"x\xDFFF"},
  };
  if (!kWideIsUtf16) {
    cases.push_back({"beyond Unicode", wide({0x110000}), u"\uFFFD"});
    cases.push_back({"negative wide character", std::wstring(1, static_cast<wchar_t>(-1)), u"\uFFFD"});
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(toUtf16(c.text), c.units);
  }
}

TEST(FromUtf16, PairsJoinedUnpairedSurrogatesByPolicy) {
  // What an unpaired surrogate becomes with KeepWherePossible: only UTF-16
  // wide text can hold it.
  const auto kept = [](uint32_t unit) { return kWideIsUtf16 ? wide({unit}) : std::wstring(L"\uFFFD"); };
  const struct {
    const char* name;
    std::u16string units;
    std::wstring keepWherePossible;
    std::wstring replace;
  } cases[] = {
      {"empty", u"", L"", L""},
      {"basic plane", u"a\u00e4\u20ac\uFFFF", L"a\u00e4\u20ac\uFFFF", L"a\u00e4\u20ac\uFFFF"},
      {"surrogate pair: one character", u"a\U0001F600b", L"a\U0001F600b", L"a\U0001F600b"},
      {"two pairs in a row", u"\U00010400\U0010FFFF", L"\U00010400\U0010FFFF", L"\U00010400\U0010FFFF"},
      {"high surrogate at the end", u"x\xD83D", L"x" + kept(0xD83D), L"x\uFFFD"},
      {"high surrogate before a non-surrogate", u"\xD83Dx", kept(0xD83D) + L"x", L"\uFFFDx"},
      {"lone low surrogate", u"x\xDE00y", L"x" + kept(0xDE00) + L"y", L"x\uFFFDy"},
      {"low before high: two unpaired", u"\xDE00\xD83D", kept(0xDE00) + kept(0xD83D), L"\uFFFD\uFFFD"},
      {"two highs, then a low: the second pairs", u"\xD83D\xD83D\xDE00", kept(0xD83D) + L"\U0001F600",
       L"\uFFFD\U0001F600"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(fromUtf16(c.units, UnpairedSurrogates::KeepWherePossible), c.keepWherePossible);
    EXPECT_EQ(fromUtf16(c.units, UnpairedSurrogates::Replace), c.replace);
  }
}

TEST(FromUtf16, UndoesToUtf16ForValidText) {
  for (const std::wstring& text : {std::wstring(L""), std::wstring(L"C:\\Programme\\\u00c4pfel\\\U0001F600.jar"),
                                   std::wstring(L"\U00010000\U0010FFFF\uFFFD")}) {
    SCOPED_TRACE(testing::PrintToString(text));
    EXPECT_EQ(fromUtf16(toUtf16(text), UnpairedSurrogates::Replace), text);
  }
}

TEST(FromModifiedUtf8, DecodesWhatTheVmYields) {
  const struct {
    const char* name;
    const char* bytes;
    std::wstring text;
  } cases[] = {
      {"empty", "", L""},
      {"ASCII", "com/example/App", L"com/example/App"},
      {"two and three bytes", "\xC3\xA4\xE2\x82\xAC", L"\u00e4\u20ac"},
      {"encoded NUL", "a\xC0\x80" "b", std::wstring(L"a") + L'\0' + L"b"},
      {"surrogate pair, one unit at a time", "\xED\xA0\xBD\xED\xB8\x80", L"\U0001F600"},
      // A lone surrogate stays where wide text can hold it.
      {"unpaired surrogate", "\xED\xA0\xBDx", (kWideIsUtf16 ? wide({0xD83D}) : std::wstring(L"\uFFFD")) + L"x"},
      {"stray continuation byte", "\x80x", L"\uFFFDx"},
      {"cut short", "x\xE2\x82", L"x\uFFFD\uFFFD"},
      {"four-byte lead: not modified UTF-8", "\xF0\x9F\x98\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(fromModifiedUtf8(c.bytes), c.text);
  }
}

TEST(DecimalText, SignedNumbers) {
  struct Case {
    int64_t value;
    const wchar_t* expected;
  } cases[] = {
      {0, L"0"},
      {7, L"7"},
      {10, L"10"},
      {-1, L"-1"},
      {-10, L"-10"},
      {2026, L"2026"},
      {std::numeric_limits<int32_t>::min(), L"-2147483648"},
      {std::numeric_limits<int64_t>::max(), L"9223372036854775807"},
      {std::numeric_limits<int64_t>::min(), L"-9223372036854775808"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(decimalText(c.value), c.expected);
  }
}

TEST(DecimalText, UnsignedNumbers) {
  struct Case {
    uint64_t value;
    const wchar_t* expected;
  } cases[] = {
      {0, L"0"},
      {9, L"9"},
      {100, L"100"},
      {4294967296u, L"4294967296"},
      {std::numeric_limits<uint64_t>::max(), L"18446744073709551615"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(unsignedDecimalText(c.value), c.expected);
  }
}

}  // namespace
}  // namespace tarn
