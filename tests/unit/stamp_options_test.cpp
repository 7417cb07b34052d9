#include "stamper/stamp_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/text.h"

namespace tarn::stamper {
namespace {

using Arguments = std::vector<std::wstring>;

TEST(StampOptions, ReadsEveryOption) {
  StampOptions options;
  std::wstring why;
  ASSERT_TRUE(parseStampCommandLine({L"--icon",
                                     L"app.ico",
                                     L"--product-name",
                                     L"My App",
                                     L"--company=ACME",
                                     L"--description",
                                     L"",
                                     L"--copyright",
                                     L"(c) me",
                                     L"--product-version",
                                     L"1.2",
                                     L"--file-version",
                                     L"1.2.3.4",
                                     L"--original-file-name",
                                     L"run.exe",
                                     L"--execution-level",
                                     L"requireadministrator",
                                     L"--dpi-awareness",
                                     L"system",
                                     L"--long-path-aware=YES",
                                     L"--settings",
                                     L"run.ini",
                                     L"--open-to-file",
                                     L"in.exe",
                                     L"out.exe"},
                                    options, why))
      << toUtf8(why);
  EXPECT_EQ(options.input, L"in.exe");
  EXPECT_EQ(options.output, L"out.exe");
  EXPECT_EQ(options.icon, L"app.ico");
  EXPECT_EQ(options.productName, L"My App");
  EXPECT_EQ(options.company, L"ACME");
  EXPECT_EQ(options.description, L"");
  EXPECT_EQ(options.copyright, L"(c) me");
  EXPECT_EQ(options.productVersion, L"1.2");
  EXPECT_EQ(options.fileVersion, L"1.2.3.4");
  EXPECT_EQ(options.originalFileName, L"run.exe");
  EXPECT_EQ(options.executionLevel, ExecutionLevel::RequireAdministrator);
  EXPECT_EQ(options.dpiAwareness, DpiAwareness::System);
  EXPECT_EQ(options.longPathAware, true);
  EXPECT_EQ(options.settings, L"run.ini");
  EXPECT_TRUE(options.openToFile);
  EXPECT_TRUE(options.changesVersion());
  EXPECT_TRUE(options.changesManifest());
  EXPECT_FALSE(options.help);
}

TEST(StampOptions, OperandsAndWhatTheyChange) {
  const struct {
    const char* name;
    Arguments arguments;
    std::wstring input;
    std::wstring output;
    bool version;
    bool manifest;
  } cases[] = {
      {"operands only", {L"a.exe", L"b.exe"}, L"a.exe", L"b.exe", false, false},
      {"options after the operands", {L"a.exe", L"b.exe", L"--copyright", L"c"}, L"a.exe", L"b.exe", true, false},
      {"operands after --", {L"--long-path-aware", L"no", L"--", L"-a.exe", L"--b"}, L"-a.exe", L"--b", false, true},
      {"a value that looks like an option", {L"--company", L"--x", L"a", L"b"}, L"a", L"b", true, false},
      {"a lone dash is an operand", {L"-", L"b"}, L"-", L"b", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StampOptions options;
    std::wstring why;
    ASSERT_TRUE(parseStampCommandLine(c.arguments, options, why)) << toUtf8(why);
    EXPECT_EQ(options.input, c.input);
    EXPECT_EQ(options.output, c.output);
    EXPECT_EQ(options.changesVersion(), c.version);
    EXPECT_EQ(options.changesManifest(), c.manifest);
  }
}

TEST(StampOptions, HelpAndVersionNeedNoOperands) {
  StampOptions options;
  std::wstring why;
  ASSERT_TRUE(parseStampCommandLine({L"--help"}, options, why));
  EXPECT_TRUE(options.help);
  EXPECT_FALSE(options.version);
  ASSERT_TRUE(parseStampCommandLine({L"--version"}, options, why));
  EXPECT_TRUE(options.version);
  EXPECT_FALSE(options.help);
}

TEST(StampOptions, UsageErrors) {
  const struct {
    Arguments arguments;
    const wchar_t* why;
  } cases[] = {
      {{}, L"INPUT and OUTPUT are needed"},
      {{L"a.exe"}, L"INPUT and OUTPUT are needed"},
      {{L"a", L"b", L"c"}, L"too many operands"},
      {{L"--colour", L"x", L"a", L"b"}, L"unknown option --colour"},
      {{L"-i", L"x", L"a", L"b"}, L"unknown option -i"},
      {{L"a", L"b", L"--icon"}, L"--icon needs a value"},
      {{L"--icon", L"x", L"--icon", L"y", L"a", L"b"}, L"--icon is given twice"},
      {{L"--dpi-awareness", L"high", L"a", L"b"}, L"--dpi-awareness takes one of unaware, system, per-monitor"},
      {{L"--execution-level", L"admin", L"a", L"b"}, L"--execution-level takes one of asInvoker"},
      {{L"--long-path-aware", L"true", L"a", L"b"}, L"--long-path-aware takes one of yes, no"},
      {{L"--long-path-aware", L"no", L"--long-path-aware", L"no", L"a", L"b"}, L"given twice"},
      {{L"--open-to-file", L"a", L"b"}, L"--open-to-file goes with --settings"},
      {{L"--open-to-file=yes", L"--settings", L"s", L"a", L"b"}, L"--open-to-file takes no value"},
      {{L"--version=2"}, L"--version takes no value"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(toUtf8(c.why));
    StampOptions options;
    std::wstring why;
    EXPECT_FALSE(parseStampCommandLine(c.arguments, options, why));
    EXPECT_NE(why.find(c.why), std::wstring::npos) << toUtf8(why);
  }
}

}  // namespace
}  // namespace tarn::stamper
