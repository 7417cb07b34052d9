// IniFile on Windows: the file's text as the profile functions see it, and
// writes through them.

#include <windows.h>

#include <cstdint>
#include <string>

#include "base/path.h"
#include "base/scoped_handle_win.h"
#include "config/ini_file.h"
#include "config/profile_text.h"

namespace tarn {
namespace {

// Bytes without a byte order mark, in the ANSI code page, as the profile
// functions read them.
std::wstring ansiText(const std::string& bytes) {
  if (bytes.empty() || bytes.size() > INT32_MAX) return std::wstring();
  const int size = static_cast<int>(bytes.size());
  std::wstring text(MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, text.data(), static_cast<int>(text.size()));
  return text;
}

// A file's bytes as the profile functions read them: with a byte order mark
// in its encoding, without one in the ANSI code page.
std::wstring profileFileText(const std::string& bytes) {
  return detectProfileEncoding(bytes) == ProfileEncoding::Utf8 ? ansiText(bytes) : decodeProfileFile(bytes);
}

// True when the profile functions can write `text` into a file without a
// byte order mark: every character is in the ANSI code page.
bool fitsAnsiCodePage(const std::wstring& text) {
  if (text.empty() || GetACP() == CP_UTF8) return true;
  if (text.size() > INT32_MAX) return false;
  BOOL lost = FALSE;
  const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, &lost);
  return size > 0 && !lost;
}

// The profile functions keep the encoding a file has, and write a new file in
// the ANSI code page. This makes the file UTF-16LE with its byte order mark
// (the text it holds, if any, kept), so that a value the code page lacks is
// written as it is and not as "?". The new text replaces the file only once
// it is complete.
bool makeUtf16File(const std::wstring& path) {
  std::string bytes;
  const bool exists = readFileStart(path, SIZE_MAX, bytes);
  const ProfileEncoding encoding = exists ? detectProfileEncoding(bytes) : ProfileEncoding::Utf8;
  if (encoding == ProfileEncoding::Utf16LE || encoding == ProfileEncoding::Utf16BE) return true;
  if (!exists && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
  const std::string converted = encodeProfileFile(profileFileText(bytes), ProfileEncoding::Utf16LE);
  const std::wstring staging = path + L".tarn-new";
  bool complete = false;
  {
    const ScopedFileHandle file(
        CreateFileW(staging.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    complete = converted.size() <= MAXDWORD &&
               WriteFile(file.get(), converted.data(), static_cast<DWORD>(converted.size()), &written, nullptr) &&
               written == converted.size();
  }
  if (complete && MoveFileExW(staging.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  DeleteFileW(staging.c_str());
  return false;
}

}  // namespace

std::wstring IniFile::fileText(const std::wstring& path) {
  std::string bytes;
  if (!readFileStart(path, SIZE_MAX, bytes)) return std::wstring();
  return profileFileText(bytes);
}

bool IniFile::writeString(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
  if (!fitsAnsiCodePage(section + key + value) && !makeUtf16File(path_)) {
    textRead_ = false;
    return false;
  }
  const bool written = WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), path_.c_str()) != FALSE;
  textRead_ = false;
  return written;
}

}  // namespace tarn
