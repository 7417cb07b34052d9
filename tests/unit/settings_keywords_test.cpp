#include "config/settings_keywords.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace tarn {
namespace {

TEST(SettingsKeywordsTest, JvmSourceIsComparedExactly) {
  struct Case {
    const wchar_t* value;
    bool any;
    bool jdk;
    bool jre;
  };
  const Case cases[] = {
      {L"favor_JRE", true, false, true},
      {L"favor_JDK", true, true, false},
      {L"only_JDK", false, true, false},
      {L"only_JRE", false, false, true},
      // Exact: another case of letters is an unknown value and allows no source.
      {L"Only_JDK", false, false, false},
      {L"FAVOR_JRE", false, false, false},
      {L"only_JDK ", false, false, false},
      {L"both", false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.value));
    JvmSourceFlags flags;
    applyJvmSource(c.value, flags);
    EXPECT_EQ(flags.any, c.any);
    EXPECT_EQ(flags.jdk, c.jdk);
    EXPECT_EQ(flags.jre, c.jre);
  }
}

TEST(SettingsKeywordsTest, EmptyJvmSourceAllowsBothAndKeepsAny) {
  for (bool any : {true, false}) {
    SCOPED_TRACE(any ? "any was true" : "any was false");
    JvmSourceFlags flags{any, false, false};
    applyJvmSource(L"", flags);
    EXPECT_EQ(flags.any, any);
    EXPECT_TRUE(flags.jdk);
    EXPECT_TRUE(flags.jre);
  }
}

TEST(SettingsKeywordsTest, VmProviderIsComparedWithoutCase) {
  struct Case {
    const wchar_t* value;
    VmProviderFlags expected;
  };
  const VmProviderFlags initial;
  const Case cases[] = {
      {L"jrockit", {true, true, false, false, false, false}},
      {L"JRockit", {true, true, false, false, false, false}},
      {L"IBM", {false, false, false, false, true, true}},
      {L"favor_sun", {true, false, true, true, true, false}},
      {L"Favor_JRockit", {true, true, true, false, true, false}},
      {L"favor_ibm", {true, false, true, false, true, true}},
      {L"any", {true, false, true, false, true, false}},
      {L"ANY", {true, false, true, false, true, false}},
      // No row for these: the flags stay as they were.
      {L"sun", initial},
      {L"", initial},
      {L"jrockit ", initial},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.value));
    VmProviderFlags flags;
    applyVmProvider(c.value, flags);
    EXPECT_EQ(flags.acceptJRockit, c.expected.acceptJRockit);
    EXPECT_EQ(flags.favorJRockit, c.expected.favorJRockit);
    EXPECT_EQ(flags.acceptSun, c.expected.acceptSun);
    EXPECT_EQ(flags.favorSun, c.expected.favorSun);
    EXPECT_EQ(flags.acceptIbm, c.expected.acceptIbm);
    EXPECT_EQ(flags.favorIbm, c.expected.favorIbm);
  }
}

TEST(SettingsKeywordsTest, JvmTypeIsComparedExactly) {
  struct Case {
    const wchar_t* value;
    JvmType expected;
  };
  const Case cases[] = {
      {L"server", JvmType::Server}, {L"favor_server", JvmType::FavorServer}, {L"", JvmType::Any},
      {L"Server", JvmType::Any},    {L"client", JvmType::Any},             {L"favor_Server", JvmType::Any},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.value));
    EXPECT_EQ(jvmTypeFor(c.value), c.expected);
  }
}

TEST(SettingsKeywordsTest, VersionBoundsTakeOnlyTheLowerCaseWordAny) {
  struct Case {
    const wchar_t* value;
    int32_t fill;
    JavaVersion expected;
  };
  const Case cases[] = {
      {L"any", 0, JavaVersion{{0, 0, 0, 0}}},
      {L"any", 65535, JavaVersion{{65535, 65535, 65535, 65535}}},
      {L"Any", 65535, JavaVersion{{0, 0, 0, 0}}},
      {L"", 65535, JavaVersion{{0, 0, 0, 0}}},
      {L"1.6", 65535, JavaVersion{{1, 6, 65535, 65535}}},
      {L"1.6", 0, JavaVersion{{1, 6, 0, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.value) + " fill " + std::to_string(c.fill));
    EXPECT_EQ(versionBoundFor(c.value, c.fill).parts, c.expected.parts);
  }
}

TEST(SettingsKeywordsTest, KeywordsOfApplicationAndFlags) {
  EXPECT_TRUE(isServiceType(L"service"));
  EXPECT_FALSE(isServiceType(L"Service"));
  EXPECT_FALSE(isServiceType(L""));

  struct Case {
    const wchar_t* value;
    bool ignoringCase;
    bool lowerCase;
  };
  const Case cases[] = {
      {L"Yes", true, false}, {L"yes", true, true},  {L"YES", true, false},
      {L"y", false, false},  {L"yes ", false, false}, {L"", false, false},
      {L"true", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.value));
    EXPECT_EQ(isYesIgnoringCase(c.value), c.ignoringCase);
    EXPECT_EQ(isLowerCaseYes(c.value), c.lowerCase);
  }
}

TEST(SettingsKeywordsTest, RestartExitCodes) {
  struct Case {
    const wchar_t* value;
    std::vector<int32_t> codes;
    const wchar_t* rejected;
  };
  const Case cases[] = {
      {L"", {}, L""},
      {L"7", {7}, L""},
      {L" 7 ; 9,-1 ", {7, 9, -1}, L""},
      {L"2147483647;-2147483648", {2147483647, INT32_MIN}, L""},
      {L"2147483648", {}, L"2147483648"},
      {L"-2147483649", {}, L"-2147483649"},
      {L"7;seven;x", {7}, L"seven"},
      {L"7;;9", {7, 9}, L"(empty)"},
      {L"+7", {}, L"+7"},
      {L"-", {}, L"-"},
      {L"1 2", {}, L"1 2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.value));
    std::wstring rejected;
    EXPECT_EQ(exitCodesFor(c.value, rejected), c.codes);
    EXPECT_EQ(rejected, c.rejected);
  }
}

TEST(SettingsKeywordsTest, KeptFileCount) {
  struct Case {
    const wchar_t* value;
    uint32_t count;
    bool invalid;
  };
  const Case cases[] = {
      {L"", 0, false},     {L" 30 ", 30, false},  {L"1", 1, false},      {L"100000", 100000, false},
      {L"0", 0, true},     {L"100001", 0, true},  {L"-3", 0, true},      {L"ten", 0, true},
      {L"99999999999999999999", 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(toUtf8(c.value));
    bool invalid = !c.invalid;
    EXPECT_EQ(keptFileCountFor(c.value, invalid), c.count);
    EXPECT_EQ(invalid, c.invalid);
  }
}

}  // namespace
}  // namespace tarn
