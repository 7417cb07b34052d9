#include "base/text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace tarn {
namespace {

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
