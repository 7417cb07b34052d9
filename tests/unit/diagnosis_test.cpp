// The diagnose mode's own pieces: how TARN_DIAGNOSE is read, how a fact is
// written, how a time is shown.
#include "base/diagnosis.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/text.h"
#include "unit/diagnosis_capture.h"

namespace tarn {
namespace {

TEST(DiagnosisTarget, PathSeparatorNamesAFile) {
  struct Row {
    const wchar_t* value;
    bool windowsForms;
    DiagnosisTarget target;
  };
  const Row rows[] = {
      {L"", true, DiagnosisTarget::Off},
      {L"", false, DiagnosisTarget::Off},
      {L"1", true, DiagnosisTarget::StandardError},
      {L"yes", false, DiagnosisTarget::StandardError},
      {L"diag.log", true, DiagnosisTarget::StandardError},
      {L"C:\\logs\\diag.log", true, DiagnosisTarget::File},
      {L"logs/diag.log", true, DiagnosisTarget::File},
      {L"/tmp/diag.log", false, DiagnosisTarget::File},
      // A backslash is no separator on POSIX.
      {L"a\\b", false, DiagnosisTarget::StandardError},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(toUtf8(row.value));
    EXPECT_EQ(diagnosisTargetFor(row.value, row.windowsForms), row.target);
  }
}

TEST(Diagnose, WritesOneLineAFactWithItsTextsInPlace) {
  DiagnosisCapture capture;
  ASSERT_TRUE(diagnosing());
  const std::wstring home = L"C:\\jre\\";
  diagnose("JRE Path %s: passed over: %s", home, L"no runtime there");
  // A "%s" without a text stays, and so does any other "%"; a text's own "%s" is not read.
  diagnose("100% of %s, %s", L"%s");
  diagnose("plain");
  EXPECT_EQ(DiagnosisCapture::facts(),
            (std::vector<std::wstring>{L"JRE Path C:\\jre\\: passed over: no runtime there", L"100% of %s, %s", L"plain"}));
}

TEST(Diagnose, OffWritesNothing) {
  DiagnosisCapture capture;
  setDiagnosisSink(nullptr);
  EXPECT_FALSE(diagnosing());
  const PhaseTimer timer;
  timer.report("never %s");
  diagnose("never");
  EXPECT_TRUE(DiagnosisCapture::facts().empty());
}

TEST(Diagnose, MillisecondsWithThreeDecimals) {
  struct Row {
    uint64_t microseconds;
    const wchar_t* text;
  };
  const Row rows[] = {
      {0, L"0.000 ms"}, {7, L"0.007 ms"}, {1234, L"1.234 ms"}, {1000, L"1.000 ms"}, {12345678, L"12345.678 ms"},
  };
  for (const Row& row : rows) EXPECT_EQ(millisecondsText(row.microseconds), row.text);
}

}  // namespace
}  // namespace tarn
