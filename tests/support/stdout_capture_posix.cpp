#include "support/stdout_capture.h"

#include <cstdio>
#include <unistd.h>

namespace tarn::test {

struct StdoutCapture::State {
  int savedOutput = -1;
  FILE* file = nullptr;
};

StdoutCapture::StdoutCapture() : state_(new State) {
  fflush(stdout);
  state_->file = tmpfile();
  state_->savedOutput = dup(STDOUT_FILENO);
  if (state_->file != nullptr) dup2(fileno(state_->file), STDOUT_FILENO);
}

StdoutCapture::~StdoutCapture() {
  finish();
  delete state_;
}

std::string StdoutCapture::finish() {
  std::string captured;
  if (state_->savedOutput < 0) return captured;
  fflush(stdout);
  dup2(state_->savedOutput, STDOUT_FILENO);
  close(state_->savedOutput);
  state_->savedOutput = -1;
  if (state_->file == nullptr) return captured;
  rewind(state_->file);
  char buffer[4096];
  size_t count;
  while ((count = fread(buffer, 1, sizeof buffer, state_->file)) > 0) captured.append(buffer, count);
  fclose(state_->file);
  state_->file = nullptr;
  raw_ = captured;
  return captured;
}

}  // namespace tarn::test
