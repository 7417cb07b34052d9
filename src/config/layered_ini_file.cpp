#include "config/layered_ini_file.h"

#include "base/diagnosis.h"

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
    if (diagnosing()) diagnose("[%s] %s=%s (configuration file)", section, key, out);
    return;
  }

  std::wstring addition;
  file_.readString(section + L"+", key, addition);
  if (addition.empty()) {
    if (diagnosing() && !out.empty()) diagnose("[%s] %s=%s (built in)", section, key, out);
    return;
  }
  const bool builtIn = !out.empty();
  if (addition[0] != L' ') out += L' ';
  out += addition;
  if (diagnosing()) {
    diagnose(builtIn ? "[%s] %s=%s (built in, with [+] of the configuration file)"
                     : "[%s] %s=%s ([+] of the configuration file)",
             section, key, out);
  }
}

}  // namespace tarn
