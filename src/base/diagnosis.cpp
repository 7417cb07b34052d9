#include "base/diagnosis.h"

#include "base/environment.h"
#include "base/file_system.h"
#include "base/local_time.h"
#include "base/path.h"
#include "base/text.h"
#include "version.h"

namespace tarn {
namespace {

// Runs appended to one file are told apart by this line.
void diagnoseStart() {
  const LocalTime now = currentLocalTime();
  // "2026-12-11 13:02:09.417": each field its digits, right to left.
  wchar_t when[] = L"0000-00-00 00:00:00.000";
  const struct {
    int value;
    int end;
  } fields[] = {{now.year, 4}, {now.month, 7}, {now.day, 10}, {now.hour, 13},
                {now.minute, 16}, {now.second, 19}, {now.milliseconds, 23}};
  for (const auto& field : fields) {
    int value = field.value;
    for (int i = field.end - 1; i >= 0 && when[i] == L'0'; --i, value /= 10) {
      when[i] = static_cast<wchar_t>(L'0' + value % 10);
    }
  }
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
