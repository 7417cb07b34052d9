#pragma once
// Captures what the process writes to its standard output handle (fd 1 on
// Linux, STD_OUTPUT_HANDLE on Windows) while the object lives, since the
// launcher writes straight to the handle.

#include <string>

namespace tarn::test {

class StdoutCapture {
 public:
  StdoutCapture();
  ~StdoutCapture();
  StdoutCapture(const StdoutCapture&) = delete;
  StdoutCapture& operator=(const StdoutCapture&) = delete;

  // Restores standard output and returns everything written meanwhile,
  // with the platform's line ends (CR LF on Windows) as "\n", so tests
  // compare the same text on every platform.
  std::string finish();
  // After finish: the bytes exactly as written.
  const std::string& raw() const { return raw_; }

 private:
  struct State;
  State* state_;
  std::string raw_;
};

}  // namespace tarn::test
