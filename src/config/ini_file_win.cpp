// IniFile on Windows: the profile-string functions of the platform.

#include <windows.h>

#include <string>

#include "base/path_win.h"
#include "base/scoped_handle_win.h"
#include "config/ini_file.h"
#include "config/profile_text.h"

namespace tarn {
namespace {

// No value or list of names comes near this; it only bounds the loops.
constexpr DWORD kLargestBuffer = 1u << 30;

// The profile functions cannot open a file whose path has MAX_PATH or more
// characters (they make it full in a buffer of that size), so such a file is
// read whole and answered by the same rules (config/profile_text.h, checked
// against these functions by the differential test).
bool readWholeFile(const std::wstring& path, std::wstring& text) {
  ScopedFileHandle file(CreateFileW(longPathForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  std::string bytes;
  char chunk[65536];
  DWORD count = 0;
  while (ReadFile(file.get(), chunk, sizeof chunk, &count, nullptr) && count > 0) bytes.append(chunk, count);
  text = decodeProfileFile(bytes);
  return true;
}

}  // namespace

void IniFile::readString(const std::wstring& section, const std::wstring& key, std::wstring& out) {
  if (path_.size() >= MAX_PATH) {
    std::wstring text;
    out.clear();
    if (readWholeFile(path_, text)) profileReadString(text, section, key, out);
    return;
  }
  const std::wstring& file = path_;
  std::wstring buffer;
  for (DWORD size = 256;; size *= 2) {
    buffer.assign(size, L'\0');
    // Returns the characters copied; size - 1 when the value was cut to fit.
    DWORD count = GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", &buffer[0], size, file.c_str());
    // Wine strips the quotes of a quoted value after cutting it, so a cut
    // quoted value comes back one character shorter: size - 2.
    if (count + 2 < size || size >= kLargestBuffer) {
      out.assign(buffer.c_str());
      return;
    }
  }
}

void IniFile::sectionNames(std::vector<std::wstring>& out) {
  if (path_.size() >= MAX_PATH) {
    std::wstring text;
    out.clear();
    if (readWholeFile(path_, text)) out = profileSectionNames(text);
    return;
  }
  const std::wstring& file = path_;
  std::wstring buffer;
  DWORD count = 0;
  for (DWORD size = 256;; size *= 2) {
    buffer.assign(size, L'\0');
    // Returns the characters copied, without the final NUL; size - 2 when
    // the names did not fit.
    count = GetPrivateProfileSectionNamesW(&buffer[0], size, file.c_str());
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
