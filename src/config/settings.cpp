#include "config/settings.h"

#include "base/diagnosis.h"
#include "base/error_output.h"
#include "base/message_table.h"
#include "base/text.h"
#include "config/configured_paths.h"
#include "config/ini_file.h"
#include "config/layered_ini_file.h"
#include "config/settings_keywords.h"
#include "config/settings_names.h"

namespace tarn {

ProductInformation readProductInformation(IniStore& file) {
  using namespace settings;
  ProductInformation product;
  file.readString(kProductInformation, kProductCode, product.code);
  file.readString(kProductInformation, kUpgradeCode, product.upgradeCode);
  file.readString(kProductInformation, kProductName, product.name);
  return product;
}

bool readSettings(IniStore& ini, Settings& out) {
  using namespace settings;
  auto read = [&ini](const wchar_t* section, const wchar_t* key) {
    std::wstring value;
    ini.readString(section, key, value);
    return value;
  };

  RuntimeCriteria& runtime = out.runtime;
  runtime.minVersion = versionBoundFor(read(kJavaRuntimeEnvironment, kMinimumVersion), 0);
  runtime.maxVersion = versionBoundFor(read(kJavaRuntimeEnvironment, kMaximumVersion), 65535);
  runtime.preferredVersions = splitAtSeparator(read(kJavaRuntimeEnvironment, kPreferredVersions), L';');
  runtime.jvmType = jvmTypeFor(read(kJavaRuntimeEnvironment, kJvmType));
  applyJvmSource(read(kJavaRuntimeEnvironment, kJvmSource), runtime.source);
  applyVmProvider(read(kJavaRuntimeEnvironment, kVmProvider), runtime.provider);
  runtime.classicKeysOnly = equalsNoCase(trimWhiteSpace(read(kJavaRuntimeEnvironment, kRegistrySearch)), L"classic");
  // Only the Linux launcher looks at JAVA_HOME; the Windows one reads no key for it.
  runtime.javaHomeVariable =
      !nativePathStyle().windowsForms && isYesIgnoringCase(read(kJavaRuntimeEnvironment, kUseJavaHome));

  out.service = isServiceType(read(kApplication, kApplicationType));
  out.omitServiceName = out.service && !read(kApplication, kOmitServiceName).empty();
  out.jrePath = read(kJavaRuntimeEnvironment, kJrePath);
  out.mainClass = replaceAll(read(kJavaRuntimeEnvironment, kMainClass), L'.', L'/');
  out.systemPath = read(kJavaRuntimeEnvironment, kSystemPath);
  out.libraryPath = read(kJavaRuntimeEnvironment, kLibraryPath);
  out.vmParameters = read(kJavaRuntimeEnvironment, kVirtualMachineParameters);
  const std::wstring downloadUrl = read(kJavaRuntimeEnvironment, kDownloadUrl);
  if (!downloadUrl.empty()) out.downloadUrl = downloadUrl;

  out.failureCheck = isYesIgnoringCase(read(kApplication, kFailureCheck));
  out.overrideWorkingDir = isYesIgnoringCase(read(kApplication, kOverrideWorkingDir));
  out.singleInstance = isLowerCaseYes(read(kApplication, kSingleInstance));
  out.embeddedJar = isYesIgnoringCase(read(kApplication, kEmbeddedJar));
  out.pairProduct = read(kApplication, kPairProduct);
  out.pairReturnCode = isYesIgnoringCase(read(kApplication, kPairReturnCode));
  out.output = OutputTarget{read(kApplication, kOutputFile), isLowerCaseYes(read(kApplication, kOutputAppend))};
  out.error = OutputTarget{read(kApplication, kErrorFile), isLowerCaseYes(read(kApplication, kErrorAppend))};
  out.cmd = read(kApplication, kCmd);
  std::wstring rejectedCode;
  out.restartExitCodes = exitCodesFor(read(kApplication, kRestartExitCode), rejectedCode);
  if (!rejectedCode.empty()) {
    printError(formatMessage(MessageId::SettingValueIgnored, {std::wstring(kRestartExitCode), rejectedCode}));
  }
  bool keepInvalid = false;
  const std::wstring keep = read(kApplication, kKeepOutputFiles);
  out.keepOutputFiles = keptFileCountFor(keep, keepInvalid);
  if (keepInvalid) printError(formatMessage(MessageId::SettingValueIgnored, {std::wstring(kKeepOutputFiles), keep}));
  out.classPath = read(kClassPath, kClassPathKey);

  if (out.mainClass.empty()) {
    printError(loadMessage(MessageId::MainClassMissing));
    return false;
  }
  return true;
}

bool loadSettings(const LauncherPaths& paths, Settings& out) {
  IniFile file(paths.configFile);
  if (diagnosing()) {
    diagnose(pathExists(paths.configFile) ? "configuration file %s" : "configuration file %s: not found",
             paths.configFile);
  }
  out.product = readProductInformation(file);
  const ProductInformation& product = out.product;
  if (diagnosing() && !(product.name.empty() && product.code.empty() && product.upgradeCode.empty())) {
    diagnose("[Product Information] Product Name=%s, Product Code=%s, Upgrade Code=%s (configuration file)",
             product.name, product.code, product.upgradeCode);
  }
  LayeredIniFile ini(file, builtInSettingsText());
  if (!readSettings(ini, out)) return false;
  nativeConfiguredPaths(nativePathStyle(), out);

  // A service runs under an account of its own: its runtime comes from the
  // file beside the executable.
  std::wstring folder;
  if (out.service || !perUserSettingsFolder(folder)) {
    if (diagnosing()) diagnose("per-user file: none");
    return true;
  }
  const std::wstring userFile =
      userConfigPathFor(folder, out.product.name, out.product.code, paths.executable, nativePathStyle());
  if (userFile.empty()) {
    printError(formatMessage(MessageId::ProductFolderOutside, {product.name, product.code, folder}));
    return true;
  }
  // A folder of that name is no file and holds no JRE Path.
  if (isFile(userFile)) {
    out.jrePath.clear();
    IniFile(userFile).readString(settings::kJavaRuntimeEnvironment, settings::kJrePath, out.jrePath);
    if (diagnosing()) {
      diagnose("per-user file %s: JRE Path=%s (it alone gives JRE Path)", userFile, out.jrePath);
    }
    nativeConfiguredPath(settings::kJrePath, nativePathStyle(), out.jrePath);
  } else if (diagnosing()) {
    diagnose("per-user file %s: not found", userFile);
  }
  return true;
}

}  // namespace tarn
