#include "vm_log.h"

#include <cstdio>
#include <vector>

namespace tarn::testvm {

namespace {

SRWLOCK logLock = SRWLOCK_INIT;

bool readEnvironment(const wchar_t* name, std::wstring& value) {
  std::vector<wchar_t> buffer(512);
  for (;;) {
    // Length without the terminator when it fits, else the size needed
    // including it; 0 when the variable is unset (or empty).
    DWORD length = GetEnvironmentVariableW(name, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return false;
    if (length < buffer.size()) {
      value.assign(buffer.data(), length);
      return true;
    }
    buffer.resize(length);
  }
}

void appendHex(std::string& out, unsigned value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  out += text;
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Walks UTF-16 text; `visit` gets each code point, or a lone surrogate with
// `paired` false.
template <typename Visit>
void forEachCodePoint(const std::u16string& text, Visit visit) {
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      visit(0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00), true);
      ++i;
    } else {
      visit(static_cast<char32_t>(unit), !(unit >= 0xD800 && unit <= 0xDFFF));
    }
  }
}

}  // namespace

void logLine(const std::string& line) {
  std::wstring path;
  if (!testSetting(L"TARN_TESTVM_LOG", path)) return;
  std::string text = line + "\n";
  AcquireSRWLockExclusive(&logLock);
  // Several processes (a launcher and its sibling) may append to one log:
  // each line goes out in one write to the end of the file.
  HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
  }
  ReleaseSRWLockExclusive(&logLock);
}

void fail(UINT code, const std::string& text) {
  logLine("fault: " + text);
  std::string message = "testvm fault: " + text + "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), message.data(), static_cast<DWORD>(message.size()), &written, nullptr);
  ExitProcess(code);
}

std::string escapeNarrow(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c < 0x20 || c >= 0x7F) {
      out += "\\x";
      appendHex(out, c, 2);
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string escapeWide(const std::u16string& text) {
  std::string out;
  forEachCodePoint(text, [&](char32_t c, bool paired) {
    if (!paired) {
      out += "\\u";
      appendHex(out, static_cast<unsigned>(c), 4);
    } else if (c < 0x20 || c == 0x7F) {
      out += "\\x";
      appendHex(out, static_cast<unsigned>(c), 2);
    } else {
      appendUtf8(out, c);
    }
  });
  return out;
}

std::string escapeWide(const std::wstring& text) { return escapeWide(utf16(text)); }

std::string quoted(const std::u16string& text) { return "\"" + escapeWide(text) + "\""; }

std::string quoted(const std::wstring& text) { return quoted(utf16(text)); }

std::string utf8(const std::u16string& text) {
  std::string out;
  forEachCodePoint(text, [&](char32_t c, bool paired) { appendUtf8(out, paired ? c : 0xFFFD); });
  return out;
}

std::u16string utf16(const std::string& utf8Text) {
  int units = MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), static_cast<int>(utf8Text.size()), nullptr, 0);
  std::wstring converted(static_cast<size_t>(units > 0 ? units : 0), L'\0');
  if (units > 0) {
    MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), static_cast<int>(utf8Text.size()), converted.data(), units);
  }
  return utf16(converted);
}

std::u16string utf16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

std::wstring wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring ownModulePath() {
  HMODULE self = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ownModulePath), &self);
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    // Returns the length without the terminator; a result equal to the
    // buffer size means the path was cut.
    DWORD length = GetModuleFileNameW(self, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return L"";
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

bool testSetting(const wchar_t* name, std::wstring& value) {
  if (readEnvironment(name, value)) return true;
  std::wstring file = ownModulePath();
  file = file.substr(0, file.find_last_of(L'\\') + 1) + L"testvm.env";
  HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  std::string text;
  char buffer[4096];
  DWORD count = 0;
  while (ReadFile(handle, buffer, sizeof buffer, &count, nullptr) && count > 0) text.append(buffer, count);
  CloseHandle(handle);
  const std::u16string prefix = utf16(std::wstring(name) + L"=");
  const std::u16string content = utf16(text);
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find(u'\n', start);
    if (end == std::u16string::npos) end = content.size();
    std::u16string line = content.substr(start, end - start);
    if (!line.empty() && line.back() == u'\r') line.pop_back();
    if (line.compare(0, prefix.size(), prefix) == 0) {
      value = wide(line.substr(prefix.size()));
      return true;
    }
    start = end + 1;
  }
  return false;
}

}  // namespace tarn::testvm
