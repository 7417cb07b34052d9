#include "config/ini_file.h"

namespace tarn {

const std::wstring& IniFile::text() {
  if (!textRead_) keepText(fileText(path_));
  return text_;
}

void IniFile::keepText(std::wstring text) {
  text_ = std::move(text);
  lines_ = scanProfileLines(text_);
  textRead_ = true;
}

void IniFile::readString(const std::wstring& section, const std::wstring& key, std::wstring& out) {
  profileReadString(text(), lines_, section, key, out);
}

void IniFile::sectionNames(std::vector<std::wstring>& out) { out = profileSectionNames(text()); }

}  // namespace tarn
