#pragma once
// The command line of tarn-stamp.

#include <optional>
#include <string>
#include <vector>

#include "stamper/manifest_text.h"

namespace tarn::stamper {

struct StampOptions {
  std::wstring input;
  std::wstring output;
  std::optional<std::wstring> icon;
  std::optional<std::wstring> settings;
  bool openToFile = false;

  std::optional<std::wstring> productName;
  std::optional<std::wstring> company;
  std::optional<std::wstring> description;
  std::optional<std::wstring> copyright;
  std::optional<std::wstring> productVersion;  // checked by the stamp
  std::optional<std::wstring> fileVersion;
  std::optional<std::wstring> originalFileName;

  std::optional<ExecutionLevel> executionLevel;
  std::optional<DpiAwareness> dpiAwareness;
  std::optional<bool> longPathAware;

  bool help = false;
  bool version = false;

  bool changesVersion() const {
    return productName || company || description || copyright || productVersion || fileVersion || originalFileName;
  }
  bool changesManifest() const { return executionLevel || dpiAwareness || longPathAware; }
};

// The arguments after the program's name. Options take their value from the
// next argument or after "=" ("--icon=app.ico"); "--" ends the options.
// False, with the reason, for an unknown option, a missing or unknown
// value, an option given twice, --open-to-file without --settings, or other
// than two operands (unless --help or --version is given).
bool parseStampCommandLine(const std::vector<std::wstring>& arguments, StampOptions& options, std::wstring& why);

// "usage: tarn-stamp [options] INPUT OUTPUT"
std::wstring usageLine();
// The text --help prints.
std::wstring helpText();
// The line --version prints: "tarn-stamp 1.2.3".
std::wstring versionLine();

}  // namespace tarn::stamper
