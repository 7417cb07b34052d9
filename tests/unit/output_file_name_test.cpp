#include "jvm/output_file_name.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "support/scoped_environment.h"
#include "support/stdout_capture.h"

namespace tarn {
namespace {

TEST(OutputFileName, TimePictures) {
  const struct {
    const wchar_t* text;
    bool picture;
  } cases[] = {
      {L"", true},
      {L"yyyyMMdd-HHmmss.L", true},
      {L"dddd, MMMM d yyyy gg", true},
      {L"hh.mm tt", true},
      {L"yyyy'log'MM", true},           // quoted letters are copied
      {L"'it''s' yy", true},            // a doubled quote inside quotes
      {L"yyyy\\MM", true},              // a separator is no letter
      {L"LOGDIR", false},               // an undefined variable's name
      {L"APPDATA", false},
      {L"yyyyMMdD", false},             // D is no picture
      {L"LOGDIR%\\app-%yyyy", false},   // two references, or more
      {L"yyyy'unclosed letters", true},  // an unclosed quote runs to the end
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(toUtf8(c.text));
    EXPECT_EQ(isTimePicture(c.text), c.picture);
  }
}

TEST(OutputFileName, UndefinedReferenceIsNoStamp) {
  test::ScopedEnvironment unset(L"TARN_TEST_LOGDIR", std::nullopt);
  test::ScopedEnvironment logs(L"TARN_TEST_LOGS", std::wstring(L"logs"));
  const struct {
    const char* name;
    const wchar_t* configured;
    const wchar_t* expected;  // empty: refused
  } cases[] = {
      {"defined reference", L"%TARN_TEST_LOGS%/out.log", L"logs/out.log"},
      {"defined reference and a stamp", L"%TARN_TEST_LOGS%/out-%yyyyMMdd%.log", L"logs/out-%yyyyMMdd%.log"},
      {"a stamp alone", L"out-%HHmmss.L%.log", L"out-%HHmmss.L%.log"},
      {"one % is no pair", L"out%.log", L"out%.log"},
      {"undefined reference", L"%TARN_TEST_LOGDIR%/out.log", L""},
      {"undefined reference and a stamp", L"%TARN_TEST_LOGDIR%/out-%yyyy%.log", L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::wstring file = c.configured;
    test::StdoutCapture capture;
    const bool kept = expandOutputFileName(L"Output File", file);
    const std::string output = capture.finish();
    EXPECT_EQ(file, c.expected);
    EXPECT_EQ(kept, !file.empty());
    if (kept) {
      EXPECT_EQ(output, "");
    } else {
      EXPECT_EQ(output, "Error: Output File names an environment variable that is not defined: " +
                            toUtf8(c.configured) + ". That output stays on the console. \n");
    }
  }
}

}  // namespace
}  // namespace tarn
