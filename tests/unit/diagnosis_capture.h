#pragma once
// The diagnose lines of a test, captured instead of written.

#include <string>
#include <vector>

#include "base/diagnosis.h"

namespace tarn {

class DiagnosisCapture {
 public:
  DiagnosisCapture() {
    lines().clear();
    setDiagnosisSink([](const std::wstring& line) { lines().push_back(line); });
  }
  ~DiagnosisCapture() { setDiagnosisSink(nullptr); }
  DiagnosisCapture(const DiagnosisCapture&) = delete;
  DiagnosisCapture& operator=(const DiagnosisCapture&) = delete;

  // Each line without "tarn: " and the line end.
  static std::vector<std::wstring> facts() {
    std::vector<std::wstring> facts;
    for (const std::wstring& line : lines()) facts.push_back(line.substr(6, line.size() - 7));
    return facts;
  }

 private:
  static std::vector<std::wstring>& lines() {
    static std::vector<std::wstring> captured;
    return captured;
  }
};

}  // namespace tarn
