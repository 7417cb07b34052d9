#include "base/diagnosis.h"

#include "base/environment.h"
#include "base/local_time.h"
#include "base/path.h"
#include "base/text.h"
#include "version.h"

namespace tarn {
namespace {

std::wstring twoDigits(int value) { return value < 10 ? L"0" + decimalText(value) : decimalText(value); }

// Runs appended to one file are told apart by this line.
void diagnoseStart() {
  const LocalTime now = currentLocalTime();
  std::wstring milliseconds = decimalText(now.milliseconds + 1000);
  milliseconds[0] = L'.';
  const std::wstring when = decimalText(now.year) + L'-' + twoDigits(now.month) + L'-' + twoDigits(now.day) + L' ' +
                            twoDigits(now.hour) + L':' + twoDigits(now.minute) + L':' + twoDigits(now.second) +
                            milliseconds;
  diagnose("start %s (local time), tarn " TARN_VERSION_TEXT ", %s-bit, process %s", when,
           sizeof(void*) == 8 ? L"64" : L"32", unsignedDecimalText(currentProcessId()));
}

}  // namespace

void diagnoseTexts(const char* format, const wchar_t* const* texts, size_t count) {
  const DiagnosisSink sink = detail::diagnosisSink;
  if (sink == nullptr) return;
  std::wstring line(L"tarn: ");
  for (; *format != '\0'; ++format) {
    if (format[0] == '%' && format[1] == 's' && count > 0) {
      line += *texts++;
      --count;
      ++format;
    } else {
      line += static_cast<wchar_t>(*format);
    }
  }
  line += L'\n';
  sink(line);
}

void setDiagnosisSink(DiagnosisSink sink) { detail::diagnosisSink = sink; }

DiagnosisTarget diagnosisTargetFor(const std::wstring& value, bool windowsForms) {
  if (value.empty()) return DiagnosisTarget::Off;
  const bool path = value.find(L'/') != std::wstring::npos ||
                    (windowsForms && value.find(L'\\') != std::wstring::npos);
  return path ? DiagnosisTarget::File : DiagnosisTarget::StandardError;
}

void startDiagnosisFromEnvironment() {
  std::wstring value;
  readEnvironmentVariable(L"TARN_DIAGNOSE", value);
  switch (diagnosisTargetFor(value, nativePathStyle().windowsForms)) {
    case DiagnosisTarget::Off:
      return;
    case DiagnosisTarget::StandardError:
      setDiagnosisSink(standardErrorDiagnosisSink());
      diagnoseStart();
      return;
    case DiagnosisTarget::File:
      break;
  }
  // Appended to, also by several launchers at once: each line is one write
  // at the end of the file.
  if (const DiagnosisSink file = fileDiagnosisSink(value)) {
    setDiagnosisSink(file);
    diagnoseStart();
    return;
  }
  setDiagnosisSink(standardErrorDiagnosisSink());
  diagnoseStart();
  diagnose("cannot open the diagnose file %s; the lines go to the standard error stream", value);
}

std::wstring millisecondsText(uint64_t microseconds) {
  std::wstring fraction = unsignedDecimalText(microseconds % 1000 + 1000);
  fraction[0] = L'.';
  return unsignedDecimalText(microseconds / 1000) + fraction + L" ms";
}

void PhaseTimer::reportNow(const char* fact) const {
  diagnose(fact, millisecondsText(monotonicMicroseconds() - started_));
}

}  // namespace tarn
