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
  // An executable JAR, as configured: run as "java -jar" runs it, unless
  // Main Class is set, which then wins and leaves the JAR a class path entry.
  std::wstring mainJar;
  // "module" or "module/class" (dotted), as java's --module takes it; when
  // set, it chooses the main class and Main Class is not read: mainClass is
  // then the class of "module/class", or empty.
  std::wstring mainModule;
  std::wstring modulePath;  // entries separated by ";", as the class path's
  std::wstring systemPath;
  std::wstring libraryPath;
  std::wstring vmParameters;
  // An image shown as the VM starts; empty: none.
  std::wstring splashImage;
  // Class Data Sharing=auto: the launcher keeps a class-data archive for the
  // application (jvm/class_data_archive.h).
  bool classDataSharing = false;
  // User VM Parameters: the per-user file's Virtual Machine Parameters are
  // added after vmParameters. Never for a service (which reads no per-user
  // file), and from the configuration file only where the built-in settings
  // open it.
  bool acceptUserVmParameters = false;
  std::wstring userVmParameters;
  std::wstring userFile;  // the per-user file they came from
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
// the message written, when none of Main Class, Main Jar and Main Module is
// configured, or when a service or a single instance has a Main Module
// without a class.
bool readSettings(IniStore& ini, Settings& out);

// The whole configuration of the launcher at `paths`: the product keys, the
// layered settings and, where one exists, the per-user file's JRE Path (the
// runtime folder picked in the missing-runtime dialog), which then replaces
// the configured one, even when it has no such key.
bool loadSettings(const LauncherPaths& paths, Settings& out);

}  // namespace tarn
