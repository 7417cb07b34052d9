#include "support/stdout_capture.h"

#include <windows.h>

#include <vector>

namespace tarn::test {

struct StdoutCapture::State {
  HANDLE savedOutput = nullptr;
  HANDLE file = INVALID_HANDLE_VALUE;
};

StdoutCapture::StdoutCapture() : state_(new State) {
  wchar_t folder[MAX_PATH];
  wchar_t path[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  GetTempFileNameW(folder, L"out", 0, path);
  state_->file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  state_->savedOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  if (state_->file != INVALID_HANDLE_VALUE) SetStdHandle(STD_OUTPUT_HANDLE, state_->file);
}

StdoutCapture::~StdoutCapture() {
  finish();
  delete state_;
}

std::string StdoutCapture::finish() {
  std::string captured;
  if (state_->file == INVALID_HANDLE_VALUE) return captured;
  SetStdHandle(STD_OUTPUT_HANDLE, state_->savedOutput);
  SetFilePointer(state_->file, 0, nullptr, FILE_BEGIN);
  char buffer[4096];
  DWORD count = 0;
  while (ReadFile(state_->file, buffer, sizeof buffer, &count, nullptr) && count > 0) raw_.append(buffer, count);
  CloseHandle(state_->file);
  state_->file = INVALID_HANDLE_VALUE;
  for (size_t i = 0; i < raw_.size(); ++i) {
    if (raw_[i] == '\r' && i + 1 < raw_.size() && raw_[i + 1] == '\n') continue;
    captured += raw_[i];
  }
  return captured;
}

}  // namespace tarn::test
