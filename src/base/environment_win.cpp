// Windows: environment variables through the system's functions, and their
// expansion through ExpandEnvironmentStringsW.
#include <windows.h>

#include <vector>

#include "base/environment.h"

namespace tarn {
namespace {

// ExpandEnvironmentStringsW reads and writes at most this many characters,
// terminator included (the largest counted string of the system).
constexpr DWORD kLongestExpansion = 32767;

enum class SystemExpansion { Done, Failed, TooLong };

SystemExpansion expandWithSystem(const std::wstring& text, std::wstring& out) {
  if (text.size() >= kLongestExpansion) return SystemExpansion::TooLong;
  // ExpandEnvironmentStringsW returns the size the expansion needs, terminator
  // included; more than the buffer's size means it did not fit; 0 is failure.
  DWORD size = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
  for (int attempt = 0; attempt < 4; ++attempt) {
    if (size == 0) return SystemExpansion::Failed;
    if (size > kLongestExpansion) return SystemExpansion::TooLong;
    std::vector<wchar_t> buffer(size);
    DWORD needed = ExpandEnvironmentStringsW(text.c_str(), buffer.data(), size);
    if (needed == 0) return SystemExpansion::Failed;
    if (needed <= size) {
      out.assign(buffer.data());  // up to the first zero character
      return SystemExpansion::Done;
    }
    size = needed;  // a variable grew between the two calls
  }
  return SystemExpansion::Failed;
}

}  // namespace

bool readEnvironmentVariable(const std::wstring& name, std::wstring& value) {
  if (name.empty() || name.find(L'=') != std::wstring::npos) return false;
  // GetEnvironmentVariableW returns the length without the terminator when
  // the value fits, else the size needed with it; 0 when it is not defined
  // (or, with ERROR_SUCCESS, defined and empty).
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    DWORD length = GetEnvironmentVariableW(name.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) {
      if (GetLastError() != ERROR_SUCCESS) return false;
      value.clear();
      return true;
    }
    if (length < buffer.size()) {
      value.assign(buffer.data(), length);
      return true;
    }
    buffer.resize(length);
  }
}

void expandEnvironment(std::wstring& text) {
  // Without a "%" there is nothing to expand.
  if (text.find(L'%') == std::wstring::npos) return;
  std::wstring expanded;
  switch (expandWithSystem(text, expanded)) {
    case SystemExpansion::Done:
      text = std::move(expanded);
      return;
    case SystemExpansion::Failed:
      return;
    case SystemExpansion::TooLong:
      // A long class path must not be cut short: expand it reference by reference.
      text = expandReferences(text, readEnvironmentVariable);
      return;
  }
}

void setEnvironmentVariable(const std::wstring& name, const std::wstring& value) {
  SetEnvironmentVariableW(name.c_str(), value.c_str());
}

void removeEnvironmentVariable(const std::wstring& name) { SetEnvironmentVariableW(name.c_str(), nullptr); }

}  // namespace tarn
