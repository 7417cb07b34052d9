#pragma once
// Diagnose mode: with TARN_DIAGNOSE set, every step of a start writes the
// facts it decided, one line each, "tarn: " in front, to the standard error
// stream or appended to a file. Off, a fact costs one test of a pointer: the
// caller builds its arguments only inside `if (diagnosing())`.

#include <cstddef>
#include <cstdint>
#include <string>

namespace tarn {

// Receives each line, prefix and line end included.
using DiagnosisSink = void (*)(const std::wstring& line);

namespace detail {
inline DiagnosisSink diagnosisSink = nullptr;
}  // namespace detail

inline bool diagnosing() { return detail::diagnosisSink != nullptr; }

// One fact: an ASCII format in which each "%s" takes the next of `count`
// texts. Called through diagnose, which passes them as one small array, so
// that a call costs the executables little.
void diagnoseTexts(const char* format, const wchar_t* const* texts, size_t count);

inline const wchar_t* diagnosisText(const wchar_t* text) { return text; }
inline const wchar_t* diagnosisText(const std::wstring& text) { return text.c_str(); }

template <typename... Texts>
void diagnose(const char* format, const Texts&... texts) {
  const wchar_t* const list[] = {diagnosisText(texts)..., nullptr};
  diagnoseTexts(format, list, sizeof...(texts));
}

// Null turns the mode off. Set before any thread that diagnoses starts.
void setDiagnosisSink(DiagnosisSink sink);

// How TARN_DIAGNOSE is read: unset or empty is off; a value that holds a
// path separator (either slash on Windows, "/" on POSIX) names a file the
// lines are appended to; any other value sends them to the standard error
// stream.
enum class DiagnosisTarget { Off, StandardError, File };
DiagnosisTarget diagnosisTargetFor(const std::wstring& value, bool windowsForms);

// Microseconds as "1.234 ms".
std::wstring millisecondsText(uint64_t microseconds);

// The time one phase took, read from the clock only when diagnosing.
class PhaseTimer {
 public:
  PhaseTimer() : started_(diagnosing() ? monotonicMicroseconds() : 0) {}
  // `fact` with its "%s" as "1.234 ms"; nothing when not diagnosing.
  void report(const char* fact) const {
    if (diagnosing()) reportNow(fact);
  }
  // Platform side: a clock that only goes forward.
  static uint64_t monotonicMicroseconds();

 private:
  void reportNow(const char* fact) const;

  uint64_t started_;
};

// Reads TARN_DIAGNOSE once and sets the sink. Called first thing in main.
// The first line names the start: the local date and time, the launcher's
// version and width, and the process id.
void startDiagnosisFromEnvironment();

// Platform side.
DiagnosisSink standardErrorDiagnosisSink();
// Opens the file for appending, for the rest of the process; null when it
// cannot be opened.
DiagnosisSink fileDiagnosisSink(const std::wstring& path);

}  // namespace tarn
