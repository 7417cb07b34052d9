#include "discovery/java_version.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace tarn {
namespace {

JavaVersion version(int32_t a, int32_t b, int32_t c, int32_t d) {
  JavaVersion v;
  v.parts = {a, b, c, d};
  return v;
}

std::string show(const JavaVersion& v) { return toUtf8(formatJavaVersion(v)); }

TEST(JavaVersionTest, ParsesDigitGroupsAndFillsMissingParts) {
  struct Case {
    const wchar_t* text;
    int32_t fill;
    JavaVersion expected;
  };
  const Case cases[] = {
      {L"1.6", 0, version(1, 6, 0, 0)},
      {L"1.6", 65535, version(1, 6, 65535, 65535)},
      {L"1.6.0_20", 0, version(1, 6, 0, 20)},
      {L"jdk1.7", 65535, version(1, 7, 65535, 65535)},
      {L"1.6.0-b12", 0, version(1, 6, 0, 12)},
      {L"1.2.3.4.5", 0, version(1, 2, 3, 4)},
      {L"  17 ", 0, version(17, 0, 0, 0)},
      {L"1..--..8", 0, version(1, 8, 0, 0)},
      {L"007.08", 0, version(7, 8, 0, 0)},
      {L"2147483647", 0, version(2147483647, 0, 0, 0)},
      {L"1.2147483647", 65535, version(1, 2147483647, 65535, 65535)},
      // A group above the largest signed 32-bit value spoils the whole text.
      {L"2147483648", 0, version(0, 0, 0, 0)},
      {L"99999999999", 65535, version(0, 0, 0, 0)},
      {L"1.6.99999999999999999999999999999", 65535, version(0, 0, 0, 0)},
      // The overflow is only looked for in the four groups that are read.
      {L"1.2.3.4.99999999999", 0, version(1, 2, 3, 4)},
      // Without a digit nothing is filled, whatever the fill value.
      {L"", 65535, version(0, 0, 0, 0)},
      {L"Any", 65535, version(0, 0, 0, 0)},
      {L"latest", 7, version(0, 0, 0, 0)},
      // Only the ASCII digits count: U+0661 (Arabic-Indic one) and U+FF11
      // (fullwidth one) are separators.
      {L"1\x0661" L"2", 0, version(1, 2, 0, 0)},
      {L"\xFF11", 65535, version(0, 0, 0, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.text) + " fill " + std::to_string(c.fill));
    JavaVersion parsed = parseJavaVersion(c.text, c.fill);
    EXPECT_EQ(parsed.parts, c.expected.parts);
  }
}

TEST(JavaVersionTest, ComparesPartByPartAsSignedNumbers) {
  struct Case {
    JavaVersion a;
    JavaVersion b;
    int expected;
  };
  const Case cases[] = {
      {version(1, 6, 0, 0), version(1, 6, 0, 0), 0},
      {version(1, 6, 0, 45), version(1, 6, 65535, 65535), -1},
      {version(1, 7, 0, 0), version(1, 6, 65535, 65535), 1},
      {version(2, 0, 0, 0), version(1, 99, 99, 99), 1},
      {version(1, 6, 0, 20), version(1, 6, 0, 21), -1},
      {version(-1, 0, 0, 0), version(0, 0, 0, 0), -1},
      {version(2147483647, 0, 0, 0), version(65535, 65535, 65535, 65535), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(show(c.a) + " vs " + show(c.b));
    EXPECT_EQ(compareJavaVersions(c.a, c.b), c.expected);
    EXPECT_EQ(compareJavaVersions(c.b, c.a), -c.expected);
  }
}

TEST(JavaVersionTest, TrailingZerosOfThePreferredVersionAreWildcards) {
  struct Case {
    JavaVersion candidate;
    JavaVersion preferred;
    bool expected;
  };
  const Case cases[] = {
      {version(1, 6, 0, 20), version(1, 6, 0, 0), true},
      {version(1, 6, 1, 0), version(1, 6, 0, 0), true},
      {version(1, 7, 0, 0), version(1, 6, 0, 0), false},
      {version(1, 6, 0, 20), version(1, 6, 0, 20), true},
      {version(1, 6, 0, 21), version(1, 6, 0, 20), false},
      {version(1, 6, 1, 20), version(1, 6, 0, 20), false},
      // A zero inside is not a wildcard, only the trailing ones.
      {version(1, 5, 0, 3), version(1, 0, 0, 3), false},
      {version(1, 0, 0, 3), version(1, 0, 0, 3), true},
      {version(1, 6, 0, 20), version(0, 0, 0, 0), true},
      {version(0, 0, 0, 0), version(0, 0, 0, 0), true},
      {version(9, 9, 9, 9), version(0, 0, 0, 0), true},
      {version(0, 0, 0, 0), version(1, 0, 0, 0), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(show(c.candidate) + " preferred " + show(c.preferred));
    EXPECT_EQ(matchesPreferredVersion(c.candidate, c.preferred), c.expected);
  }
}

TEST(JavaVersionTest, OnlyAllZeroAndAll65535AreOpenBounds) {
  EXPECT_TRUE(isOpenBound(version(0, 0, 0, 0)));
  EXPECT_TRUE(isOpenBound(version(65535, 65535, 65535, 65535)));
  EXPECT_FALSE(isOpenBound(version(1, 0, 0, 0)));
  EXPECT_FALSE(isOpenBound(version(65535, 65535, 65535, 0)));
  EXPECT_FALSE(isOpenBound(version(0, 65535, 65535, 65535)));
  EXPECT_FALSE(isOpenBound(version(1, 6, 65535, 65535)));
}

TEST(JavaVersionTest, FormatsUpToTheLastSignificantPart) {
  struct Case {
    JavaVersion version;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {version(1, 6, 0, 0), L"1.6"},
      {version(1, 0, 0, 0), L"1.0"},
      {version(1, 6, 65535, 65535), L"1.6"},
      {version(1, 6, 0, 20), L"1.6.0.20"},
      {version(1, 65535, 3, 0), L"1.65535.3"},
      {version(17, 0, 2, 65535), L"17.0.2"},
      {version(0, 0, 0, 0), L"0.0.0.0"},
      {version(65535, 65535, 65535, 65535), L"0.0.0.0"},
      {version(0, 0, 0, 5), L"0.0.0.5"},
      {version(2147483647, 1, 0, 0), L"2147483647.1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.expected));
    EXPECT_EQ(formatJavaVersion(c.version), c.expected);
  }
}

TEST(JavaVersionTest, DescribesTheRequirementOfTheBounds) {
  struct Case {
    const wchar_t* minimum;
    const wchar_t* maximum;
    const wchar_t* expected;
  };
  // Bounds as the settings reader makes them: minimum filled with 0, maximum with 65535.
  const Case cases[] = {
      {L"", L"", L"latest version"},
      {L"0", L"65535.65535.65535.65535", L"latest version"},
      {L"", L"1.6", L"maximum version 1.6"},
      {L"1.6", L"", L"minimum version 1.6"},
      {L"1.6", L"65535.65535.65535.65535", L"minimum version 1.6"},
      // 1.6.0.0 against 1.6.65535.65535: not the same value.
      {L"1.6", L"1.6", L"version between 1.6 and 1.6"},
      {L"1.6.0.0", L"1.6.0.0", L"version 1.6 is required"},
      {L"1.6.0_20", L"1.6.0_20", L"version 1.6.0.20 is required"},
      {L"1.5", L"1.7.0_10", L"version between 1.5 and 1.7.0.10"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.minimum) + " .. " + toUtf8(c.maximum));
    EXPECT_EQ(describeVersionRequirement(parseJavaVersion(c.minimum, 0), parseJavaVersion(c.maximum, 65535)),
              c.expected);
  }
}

}  // namespace
}  // namespace tarn
