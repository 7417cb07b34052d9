#pragma once
// Captures what the process writes to its standard output handle (fd 1 on
// Linux, STD_OUTPUT_HANDLE on Windows) while the object lives, raw bytes
// included, since the launcher writes straight to the handle.

#include <string>

namespace tarn::test {

class StdoutCapture {
 public:
  StdoutCapture();
  ~StdoutCapture();
  StdoutCapture(const StdoutCapture&) = delete;
  StdoutCapture& operator=(const StdoutCapture&) = delete;

  // Restores standard output and returns everything written meanwhile.
  std::string finish();

 private:
  struct State;
  State* state_;
};

}  // namespace tarn::test
