#include "config/ini_file.h"

#include "config/profile_text.h"

namespace tarn {

const std::wstring& IniFile::text() {
  if (!textRead_) {
    text_ = fileText(path_);
    textRead_ = true;
  }
  return text_;
}

void IniFile::readString(const std::wstring& section, const std::wstring& key, std::wstring& out) {
  profileReadString(text(), section, key, out);
}

void IniFile::sectionNames(std::vector<std::wstring>& out) { out = profileSectionNames(text()); }

}  // namespace tarn
