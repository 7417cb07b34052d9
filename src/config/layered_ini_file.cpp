#include "config/layered_ini_file.h"

namespace tarn {

LayeredIniFile::LayeredIniFile(std::wstring path, const std::wstring& builtInText) : IniFile(std::move(path)) {
  IniDocument::parse(builtInText);
}

void LayeredIniFile::readString(const std::wstring& section, const std::wstring& key, std::wstring& out) {
  out.clear();
  IniDocument::readString(section, key, out);

  std::wstring fileValue;
  IniFile::readString(section, key, fileValue);
  if (!fileValue.empty()) {  // an empty value in the file counts as absent
    out = std::move(fileValue);
    return;
  }

  std::wstring addition;
  IniFile::readString(section + L"+", key, addition);
  if (addition.empty()) return;
  if (addition[0] != L' ') out += L' ';
  out += addition;
}

}  // namespace tarn
