#include "config/layered_ini_file.h"

namespace tarn {

LayeredIniFile::LayeredIniFile(IniStore& file, const std::wstring& builtInText) : file_(file) {
  builtIn_.parse(builtInText);
}

void LayeredIniFile::readString(const std::wstring& section, const std::wstring& key, std::wstring& out) {
  out.clear();
  builtIn_.readString(section, key, out);

  std::wstring fileValue;
  file_.readString(section, key, fileValue);
  if (!fileValue.empty()) {  // an empty value in the file counts as absent
    out = std::move(fileValue);
    return;
  }

  std::wstring addition;
  file_.readString(section + L"+", key, addition);
  if (addition.empty()) return;
  if (addition[0] != L' ') out += L' ';
  out += addition;
}

}  // namespace tarn
