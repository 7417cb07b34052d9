#include "jvm/jvm_parameters.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace tarn {
namespace {

constexpr uint64_t kGiB = uint64_t{1} << 30;
constexpr MemoryStatus kFourGiB{4 * kGiB, 2 * kGiB};
constexpr MemoryStatus kEightGiB{8 * kGiB, 2 * kGiB};

std::vector<std::wstring> splitParameters(const std::wstring& text) {
  std::vector<std::wstring> parameters;
  uint64_t stackSize = 0;
  appendVmParameters(text, kEightGiB, parameters, stackSize);
  return parameters;
}

TEST(VmParameters, SplitAtSpacesOutsideQuotes) {
  const struct {
    const char* name;
    std::wstring text;
    std::vector<std::wstring> parameters;
  } cases[] = {
      {"empty", L"", {}},
      {"only spaces", L"    ", {}},
      {"runs of spaces", L"  -Xms64m   -Xmx512m  ", {L"-Xms64m", L"-Xmx512m"}},
      {"tab is no separator", L"-Da=1\t-Db=2", {L"-Da=1\t-Db=2"}},
      {"quoted folder with a space",
       L"-Dpath=\"C:\\Program Files\\App\" -Xmx1g",
       {L"-Dpath=C:\\Program Files\\App", L"-Xmx1g"}},
      {"quote inside a parameter", L"-Dx=a\"b c\"d", {L"-Dx=ab cd"}},
      {"unclosed quote protects nothing", L"-Da=\"x y", {L"-Da=\"x", L"y"}},
      {"two quotes give an empty option", L"\"\" -Dz", {L"", L"-Dz"}},
      {"doubled closing quote stays once", L"\"a\"\"b\"", {L"a\"b\""}},
      {"a third quote stays", L"\"a b\"\"\" c", {L"a b\"\"", L"c"}},
      {"pairs in turn", L"-D\"a b\"=\"c d\"", {L"-Da b=c d"}},
      {"lone quote at the end", L"-Dq=\"", {L"-Dq=\""}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(splitParameters(row.text), row.parameters);
  }
}

TEST(VmParameters, NextParameterEndFromAnyStart) {
  const std::wstring text = L"a \"b c\" d";
  EXPECT_EQ(nextParameterEnd(text, 0), 1u);
  EXPECT_EQ(nextParameterEnd(text, 2), 7u);
  EXPECT_EQ(nextParameterEnd(text, 8), text.size());
  EXPECT_EQ(nextParameterEnd(text, 40), text.size());
}

TEST(MemoryPercent, RewritesIntoKilobytes) {
  const struct {
    const char* name;
    std::wstring parameter;
    MemoryStatus memory;
    std::wstring expected;
  } cases[] = {
      {"half of 4 GiB", L"-Xmx50p", kFourGiB, L"-Xmx2097152K"},
      {"quarter of 8 GiB", L"-Xmx25p", kEightGiB, L"-Xmx2097152K"},
      {"capped by the maximum", L"-Xmx50:512:2048P", kEightGiB, L"-Xmx2097152K"},
      {"raised to the minimum", L"-Xms1:1024:0p", kEightGiB, L"-Xms1048576K"},
      {"minimum wins over maximum", L"-Xmx10:4096:1024p", kEightGiB, L"-Xmx4194304K"},
      {"T takes the free address space", L"-Xmx50T", kEightGiB, L"-Xmx1048576K"},
      {"t in lower case", L"-Xms25t", kEightGiB, L"-Xms524288K"},
      {"numbers after the third ignored", L"-Xmx50:0:1024:7p", kEightGiB, L"-Xmx1048576K"},
      {"fraction truncated", L"-Xmx33p", MemoryStatus{1000 * 1024, 0}, L"-Xmx330K"},
      {"leading colon: no percentage", L"-Xmx:512p", kEightGiB, L"-Xmx524288K"},
      {"no digits at all", L"-XmxP", kEightGiB, L"-XmxP0K"},
      {"no memory figures", L"-Xmx50p", MemoryStatus{}, L"-Xmx0K"},
      {"1000 percent", L"-Xmx1000p", kEightGiB, L"-Xmx83886080K"},
      {"percentage beyond 64 bits", L"-Xmx99999999999999999999999p", kEightGiB, L"-Xmx18446744073709551615K"},
      {"minimum beyond 64 bits", L"-Xmx1:99999999999999999999:0p", kEightGiB, L"-Xmx18446744073709551615K"},
      {"maximum beyond 64 bits caps nothing", L"-Xmx50:0:99999999999999999999p", kEightGiB, L"-Xmx4194304K"},
      {"largest memory figures", L"-Xmx1000p", MemoryStatus{UINT64_MAX, 0}, L"-Xmx180143985094819840K"},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    ASSERT_TRUE(isMemoryPercentOption(row.parameter));
    EXPECT_EQ(expandMemoryPercent(row.parameter, row.memory), row.expected);
  }
}

TEST(MemoryPercent, OnlyTheThreeOptionsWithAPercentLetter) {
  const struct {
    std::wstring parameter;
    bool percent;
  } cases[] = {
      {L"-Xmx50p", true}, {L"-Xms50P", true},  {L"-Xss5t", true},     {L"-Xmx50T", true},
      {L"-XMX50p", false}, {L"-xmx50p", false}, {L"-Xmx512m", false}, {L"-Xmx", false},
      {L"-Xmxp", true},   {L"-Xmn50p", false}, {L"-Dp", false},      {L"", false},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(std::string(row.parameter.begin(), row.parameter.end()));
    EXPECT_EQ(isMemoryPercentOption(row.parameter), row.percent);
  }
  // Not percentage options: they reach the VM as written.
  EXPECT_EQ(splitParameters(L"-XMX50p -xmx50p"), (std::vector<std::wstring>{L"-XMX50p", L"-xmx50p"}));
}

TEST(NumberGroups, ReadsDigitsAndColonsUpToTheScanEnd) {
  const struct {
    const char* name;
    std::wstring text;
    size_t scanEnd;
    size_t position;
    std::vector<uint64_t> numbers;
  } cases[] = {
      {"three groups", L"-Xmx50:512:2048P", 15, 4, {50, 512, 2048}},
      {"no digit", L"abc", 3, 3, {}},
      {"colons only", L"::", 2, 0, {0, 0, 0}},
      {"other characters passed over", L"a1b2", 4, 1, {12}},
      {"scan end cuts the digits", L"12345", 2, 0, {12}},
      {"scan end beyond the text", L"7", 50, 0, {7}},
      {"scan end before the position", L"ab9", 1, 2, {0}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    const NumberGroups groups = parseNumberGroups(row.text, row.scanEnd);
    EXPECT_EQ(groups.position, row.position);
    EXPECT_EQ(groups.numbers, row.numbers);
    EXPECT_FALSE(groups.overflow);
  }

  const NumberGroups huge = parseNumberGroups(L"1180591620717411303424:5", 24);
  EXPECT_TRUE(huge.overflow);
  EXPECT_EQ(huge.numbers, (std::vector<uint64_t>{UINT64_MAX, 5}));
}

TEST(StackSize, ReadsOneNumberWithAnOptionalUnit) {
  const struct {
    const char* name;
    std::wstring value;
    uint64_t bytes;
  } cases[] = {
      {"kilobytes", L"512k", 524288},
      {"megabytes", L"2m", 2097152},
      {"gigabytes", L"1G", 1073741824},
      {"bytes", L"1048576", 1048576},
      {"equals sign first", L"=1m", 0},
      {"two numbers", L"1m:2", 0},
      {"empty", L"", 0},
      {"unit alone", L"k", 0},
      {"other letters passed over", L"1x2k", 12 * 1024},
      {"largest number", L"18446744073709551615", UINT64_MAX},
      {"2^70 does not fit", L"1180591620717411303424", 0},
      {"product does not fit", L"17179869184g", 0},
      {"largest product", L"17179869183g", 17179869183ull << 30},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(parseStackSize(row.value), row.bytes);
  }
}

TEST(StackSize, TheLastXssParameterCounts) {
  const struct {
    const char* name;
    std::wstring text;
    uint64_t stackSize;
    size_t count;
  } cases[] = {
      {"two -Xss, the VM gets both", L"-Xss1m -Xss512k", 524288, 2},
      {"unreadable last one resets", L"-Xss1m -Xss1m:2", 0, 2},
      {"percentage rewritten first", L"-Xss10p", 838860ull * 1024, 1},
      {"quoted value", L"\"-Xss2m\"", 2097152, 1},
      {"case-sensitive", L"-XSS1m -xss1m", 7, 2},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    std::vector<std::wstring> parameters;
    uint64_t stackSize = 7;
    appendVmParameters(row.text, kEightGiB, parameters, stackSize);
    EXPECT_EQ(stackSize, row.stackSize);
    EXPECT_EQ(parameters.size(), row.count);
  }
}

TEST(MemoryStatus, ThePlatformReportsItsMemory) {
  const MemoryStatus memory = currentMemoryStatus();
  EXPECT_GT(memory.totalPhysical, 0u);
  EXPECT_GT(memory.availableVirtual, 0u);
}

TEST(JvmCodePage, PlainTextPassesAndEmptyStaysEmpty) {
  EXPECT_EQ(toJvmCodePage(L"-Djava.class.path=C:\\app\\a.jar;"), "-Djava.class.path=C:\\app\\a.jar;");
  EXPECT_EQ(toJvmCodePage(L""), "");
}

}  // namespace
}  // namespace tarn
