#include "config/layered_ini_file.h"

#include "base/diagnosis.h"
#include "base/text.h"
#include "config/settings_names.h"

namespace tarn {
namespace {

bool choosesCode(const std::wstring& section, const std::wstring& key) {
  using namespace settings;
  static const struct {
    const wchar_t* section;
    const wchar_t* key;
  } kKeys[] = {
      {kJavaRuntimeEnvironment, kJrePath},     {kJavaRuntimeEnvironment, kMainClass},
      {kJavaRuntimeEnvironment, kLibraryPath}, {kJavaRuntimeEnvironment, kVirtualMachineParameters},
      {kClassPath, kClassPathKey},             {kApplication, kEmbeddedJar},
      {kApplication, kPairProduct},
  };
  for (const auto& entry : kKeys) {
    if (section == entry.section && key == entry.key) return true;
  }
  return false;
}

}  // namespace

LayeredIniFile::LayeredIniFile(IniStore& file, const std::wstring& builtInText) : file_(file) {
  builtIn_.parse(builtInText);
  if (!builtIn_.sections().empty()) {
    std::wstring open;
    builtIn_.readString(settings::kBuiltInSettings, settings::kOpenToFile, open);
    closedToFile_ = !equalsNoCase(open, L"Yes");
  }
}

void LayeredIniFile::readString(const std::wstring& section, const std::wstring& key, std::wstring& out) {
  out.clear();
  builtIn_.readString(section, key, out);
  if (closedToFile_ && choosesCode(section, key)) {
    if (diagnosing()) diagnose("[%s] %s=%s (built in; closed to the configuration file)", section, key, out);
    return;
  }

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
