#include "launcher/runtime_error_box_win.h"

#include "launcher/windowless_errors_win.h"
#include "ui/interactive_desktop_win.h"

namespace tarn {
namespace {

// Enough for the launcher helper's message or an exception's first lines;
// what comes after is read and dropped, so that no writer ever blocks.
constexpr size_t kCapturedBytes = 16 * 1024;
constexpr size_t kShownLines = 20;
// A child process that inherited the pipe keeps it open: the box does not
// wait for it.
constexpr DWORD kDrainWaitMs = 2000;

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
  // A reader still blocked on a pipe someone else keeps open owns its end.
  if (reader_ && WaitForSingleObject(reader_.get(), 0) == WAIT_TIMEOUT) read_.release();
}

bool RuntimeErrorBox::start() {
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  if (!CreatePipe(&read, &write, nullptr, 0)) return false;
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
  while (ReadFile(box.read_.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
    AcquireSRWLockExclusive(&box.lock_);
    const size_t room = kCapturedBytes - box.captured_.size();
    box.captured_.append(buffer, read < room ? read : room);
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
  // The VM's copy of the handle is this one: closing it ends the reader
  // once it has read everything written.
  write_.reset();
  WaitForSingleObject(reader_.get(), kDrainWaitMs);
  if (!failed) return;
  const std::wstring text = firstLines(capturedText());
  if (text.empty()) return;
  show_(text);
}

}  // namespace tarn
