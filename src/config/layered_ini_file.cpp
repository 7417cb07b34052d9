#include "config/layered_ini_file.h"

#include "base/diagnosis.h"
#include "base/text.h"
#include "config/closed_file_keys.h"
#include "config/setting_readings.h"
#include "config/settings_names.h"

namespace tarn {
namespace {

constexpr char kIgnored[] = "[%s] %s=%s (configuration file; ignored: the built-in settings keep this key)";
constexpr char kAdditionIgnored[] =
    "[%s+] %s=%s (configuration file; ignored: only memory sizes -Xms, -Xmx, -Xmn, -Xss may be added to the "
    "built-in settings)";

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
  readLayers(section, key, out);
  if (!diagnosing()) return;
  const std::string reading = settingReading(section, key, out);
  if (!reading.empty()) diagnose(("[%s] %s=%s means " + reading).c_str(), section, key, out);
}

void LayeredIniFile::readLayers(const std::wstring& section, const std::wstring& key, std::wstring& out) {
  out.clear();
  builtIn_.readString(section, key, out);
  const ClosedFileAccess access = closedToFile_ ? closedFileAccess(section, key) : ClosedFileAccess::Value;

  std::wstring fileValue;
  file_.readString(section, key, fileValue);
  if (!fileValue.empty() && access != ClosedFileAccess::Value) {
    if (diagnosing()) diagnose(kIgnored, section, key, fileValue);
    fileValue.clear();
  }
  if (!fileValue.empty()) {  // an empty value in the file counts as absent
    out = std::move(fileValue);
    if (diagnosing()) diagnose("[%s] %s=%s (configuration file)", section, key, out);
    return;
  }

  std::wstring addition;
  file_.readString(section + L"+", key, addition);
  if (!addition.empty() && access == ClosedFileAccess::None) {
    if (diagnosing()) diagnose(kIgnored, section + L"+", key, addition);
    addition.clear();
  } else if (!addition.empty() && access == ClosedFileAccess::MemorySizes && !memorySizeParameters(addition)) {
    if (diagnosing()) diagnose(kAdditionIgnored, section, key, addition);
    addition.clear();
  }
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
