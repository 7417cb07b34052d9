// IniFile on Windows: the profile-string functions of the platform.

#include <windows.h>

#include "config/ini_file.h"

namespace tarn {
namespace {

// No value or list of names comes near this; it only bounds the loops.
constexpr DWORD kLargestBuffer = 1u << 30;

}  // namespace

void IniFile::readString(const std::wstring& section, const std::wstring& key, std::wstring& out) {
  std::wstring buffer;
  for (DWORD size = 256;; size *= 2) {
    buffer.assign(size, L'\0');
    // Returns the characters copied; size - 1 when the value was cut to fit.
    DWORD count = GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", &buffer[0], size, path_.c_str());
    // Wine strips the quotes of a quoted value after cutting it, so a cut
    // quoted value comes back one character shorter: size - 2.
    if (count + 2 < size || size >= kLargestBuffer) {
      out.assign(buffer.c_str());
      return;
    }
  }
}

void IniFile::sectionNames(std::vector<std::wstring>& out) {
  std::wstring buffer;
  DWORD count = 0;
  for (DWORD size = 256;; size *= 2) {
    buffer.assign(size, L'\0');
    // Returns the characters copied, without the final NUL; size - 2 when
    // the names did not fit.
    count = GetPrivateProfileSectionNamesW(&buffer[0], size, path_.c_str());
    if (count != size - 2 || size >= kLargestBuffer) break;
  }
  out.clear();
  std::wstring name;
  for (DWORD i = 0; i <= count && i < buffer.size(); ++i) {
    if (buffer[i] != L'\0') {
      name += buffer[i];
      continue;
    }
    if (!name.empty()) out.push_back(name);
    name.clear();
  }
}

bool IniFile::writeString(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
  return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), path_.c_str()) != FALSE;
}

}  // namespace tarn
