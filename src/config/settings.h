#pragma once
// The launcher's configuration as one plain value, read once at start-up
// from the built-in settings, the configuration file beside the executable
// and the per-user file. Every later step takes what it needs of it.

#include <cstdint>
#include <string>
#include <vector>

#include "config/ini_store.h"
#include "config/launcher_paths.h"
#include "discovery/runtime_criteria.h"

namespace tarn {

// [Product Information]: read from the configuration file alone, since the
// product keys choose the built-in settings and the per-user folder.
struct ProductInformation {
  std::wstring code;
  std::wstring upgradeCode;
  std::wstring name;
};

// Where a person is sent to get a Java runtime when none is found: a page
// that lists the current builds of every major distribution for Windows.
inline constexpr wchar_t kDefaultDownloadUrl[] = L"https://adoptium.net/marketplace/";

// Output File / Output Append, Error File / Error Append.
struct OutputTarget {
  std::wstring file;  // as configured, references not yet expanded
  bool append = false;
};

struct Settings {
  ProductInformation product;

  // [Java Runtime Environment]
  RuntimeCriteria runtime;
  std::wstring jrePath;
  std::wstring mainClass;  // with "/" between the package names
  std::wstring systemPath;
  std::wstring libraryPath;
  std::wstring vmParameters;
  // The address that the missing-runtime text and the dialog's link give.
  std::wstring downloadUrl = kDefaultDownloadUrl;

  // [Application]
  bool service = false;
  bool omitServiceName = false;
  bool failureCheck = false;
  bool overrideWorkingDir = false;
  bool singleInstance = false;
  bool embeddedJar = false;
  std::wstring pairProduct;
  bool pairReturnCode = false;
  OutputTarget output;
  OutputTarget error;
  std::wstring cmd;
  // System.exit with one of these starts the application again (not in
  // service mode).
  std::vector<int32_t> restartExitCodes;
  // Dated output files of one picture kept at start; 0 keeps them all.
  uint32_t keepOutputFiles = 0;

  // [Class Path]
  std::wstring classPath;
};

ProductInformation readProductInformation(IniStore& file);

// Every key but the product keys, through the layered reader. False, with
// the message written, when no Main Class is configured.
bool readSettings(IniStore& ini, Settings& out);

// The whole configuration of the launcher at `paths`: the product keys, the
// layered settings and, where one exists, the per-user file's JRE Path (the
// runtime folder picked in the missing-runtime dialog), which then replaces
// the configured one, even when it has no such key.
bool loadSettings(const LauncherPaths& paths, Settings& out);

}  // namespace tarn
