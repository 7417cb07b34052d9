// The built-in settings check on arbitrary INI bytes. The first byte's low
// bit is --open-to-file. What it accepts, the launcher's exact reader must
// read as the configuration file's reader reads the file: every key written
// has the value the profile rules give it in the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "config/ini_document.h"
#include "config/profile_text.h"
#include "config/settings_names.h"
#include "stamper/embedded_settings.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool openToFile = (data[0] & 1) != 0;
  const std::wstring ini = tarn::decodeProfileFile(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  std::wstring text;
  tarn::stamper::SettingsProblem problem;
  if (!tarn::stamper::embeddedSettingsText(ini, openToFile, text, problem)) {
    require(!problem.why.empty());
    return 0;
  }
  tarn::IniDocument document;
  document.parse(tarn::decodeUtf16LE(tarn::stamper::embeddedSettingsBytes(text)));
  require(!document.sections().empty());
  require(document.sections().back().name == L"Built-in Settings");
  bool mainClass = false;
  for (size_t i = 0; i + 1 < document.sections().size(); ++i) {
    const tarn::IniSection& section = document.sections()[i];
    for (const tarn::IniEntry& entry : section.entries) {
      std::wstring fromFile;
      require(tarn::profileReadString(ini, section.name, entry.key, fromFile));
      require(fromFile == entry.value);
      mainClass = mainClass || (section.name == tarn::settings::kJavaRuntimeEnvironment &&
                                entry.key == tarn::settings::kMainClass && !entry.value.empty());
    }
  }
  require(openToFile || mainClass);
  return 0;
}
