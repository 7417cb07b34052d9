// IniFile on Windows: the file's text as the profile functions see it, and
// writes through them.

#include <windows.h>

#include <cstdint>
#include <string>

#include "base/path.h"
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

}  // namespace

std::wstring IniFile::fileText(const std::wstring& path) {
  std::string bytes;
  if (!readFileStart(path, SIZE_MAX, bytes)) return std::wstring();
  return detectProfileEncoding(bytes) == ProfileEncoding::Utf8 ? ansiText(bytes) : decodeProfileFile(bytes);
}

bool IniFile::writeString(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
  const bool written = WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), path_.c_str()) != FALSE;
  textRead_ = false;
  return written;
}

}  // namespace tarn
