#include "launcher/runtime_error_box_win.h"

#include "launcher/windowless_errors_win.h"
#include "ui/interactive_desktop_win.h"

namespace tarn {
namespace {

// Enough for the launcher helper's message or an exception's first lines;
// what comes after is read and dropped, so that no writer ever blocks.
constexpr size_t kCapturedBytes = 16 * 1024;
constexpr size_t kShownLines = 20;
// How long the box waits for the reader to catch up with what was written.
constexpr DWORD kDrainWaitMs = 2000;
// Written by the box itself behind the runtime's text: once the reader has
// seen it, it has read everything written before. Its first byte occurs
// nowhere else in it, so a byte-by-byte match never has to go back.
constexpr char kCaughtUpMark[] = "\x01tarn: caught up\x02";
constexpr size_t kCaughtUpMarkSize = sizeof kCaughtUpMark - 1;

std::wstring firstLines(const std::wstring& text) {
  std::wstring shown;
  size_t lines = 0;
  for (wchar_t c : text) {
    if (c == L'\r') continue;
    if (c == L'\n' && ++lines == kShownLines) break;
    shown += c;
  }
  while (!shown.empty() && (shown.back() == L'\n' || shown.back() == L' ')) shown.pop_back();
  return shown;
}

}  // namespace

bool runtimeErrorsWouldBeLost() {
  if (!isWindowlessImage() || !hasInteractiveDesktop()) return false;
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  return error == nullptr || error == INVALID_HANDLE_VALUE;
}

void showRuntimeErrorBox(const std::wstring& text) {
  MessageBoxW(nullptr, text.c_str(), programName().c_str(), MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

RuntimeErrorBox::~RuntimeErrorBox() {
  finish(false);
  if (!reader_) return;
  // The VM is gone: nothing writes to the pipe any more, and its end closed
  // ends the reader. A child process that inherited it may keep it open: a
  // reader still blocked then keeps its end until the process ends.
  write_.reset();
  if (WaitForSingleObject(reader_.get(), kDrainWaitMs) == WAIT_TIMEOUT) read_.release();
}

bool RuntimeErrorBox::start() {
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  caughtUp_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!caughtUp_ || !CreatePipe(&read, &write, nullptr, 0)) return false;
  read_.reset(read);
  write_.reset(write);
  reader_.reset(CreateThread(nullptr, 0, &RuntimeErrorBox::drain, this, 0, nullptr));
  if (!reader_) {
    read_.reset();
    write_.reset();
    return false;
  }
  original_ = GetStdHandle(STD_ERROR_HANDLE);
  SetStdHandle(STD_ERROR_HANDLE, write_.get());
  setJvmHookListener(this);
  return true;
}

DWORD WINAPI RuntimeErrorBox::drain(void* parameter) {
  auto& box = *static_cast<RuntimeErrorBox*>(parameter);
  char buffer[4096];
  DWORD read = 0;
  size_t matched = 0;
  size_t kept = 0;  // of the bytes matched so far, those the text kept
  while (ReadFile(box.read_.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
    AcquireSRWLockExclusive(&box.lock_);
    for (DWORD i = 0; i < read; ++i) {
      const char c = buffer[i];
      if (c == kCaughtUpMark[matched]) {
        ++matched;
      } else {
        matched = c == kCaughtUpMark[0] ? 1 : 0;
        kept = 0;
      }
      if (box.captured_.size() < kCapturedBytes) {
        box.captured_ += c;
        if (matched > 0) ++kept;
      }
      if (matched < kCaughtUpMarkSize) continue;
      box.captured_.resize(box.captured_.size() - kept);
      matched = kept = 0;
      SetEvent(box.caughtUp_.get());
    }
    ReleaseSRWLockExclusive(&box.lock_);
  }
  return 0;
}

std::wstring RuntimeErrorBox::capturedText() {
  AcquireSRWLockShared(&lock_);
  const std::string bytes = captured_;
  ReleaseSRWLockShared(&lock_);
  // The runtime writes to a pipe in the system's code page.
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
  std::wstring text(length > 0 ? static_cast<size_t>(length) : 0, L'\0');
  if (length > 0) MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, text.data(), length);
  return text;
}

void RuntimeErrorBox::finish(bool failed) {
  if (!reader_ || finished_) return;
  finished_ = true;
  setJvmHookListener(nullptr);
  SetStdHandle(STD_ERROR_HANDLE, original_);
  // The VM keeps writing to its copy of the handle until it is destroyed, so
  // the pipe stays open and drained; the mark tells when the reader has
  // everything written so far.
  DWORD written = 0;
  if (WriteFile(write_.get(), kCaughtUpMark, static_cast<DWORD>(kCaughtUpMarkSize), &written, nullptr)) {
    WaitForSingleObject(caughtUp_.get(), kDrainWaitMs);
  }
  if (!failed) return;
  const std::wstring text = firstLines(capturedText());
  if (text.empty()) return;
  show_(text);
}

}  // namespace tarn
