#include "config/settings.h"

#include "base/diagnosis.h"
#include "base/environment.h"
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
  // %TARN_APP_DIR%\jre names a runtime beside the launcher, whatever the
  // current directory. The per-user file's folder, picked in the dialog, is
  // taken as written.
  out.jrePath = read(kJavaRuntimeEnvironment, kJrePath);
  expandEnvironment(out.jrePath);
  out.mainModule = trimWhiteSpace(read(kJavaRuntimeEnvironment, kMainModule));
  // The class of "module/class" is also the one whose stop and secondaryMain
  // a service and a single instance call.
  std::wstring mainClass;
  if (out.mainModule.empty()) {
    mainClass = read(kJavaRuntimeEnvironment, kMainClass);
  } else if (out.mainModule.find(L'/') != std::wstring::npos) {
    mainClass = out.mainModule.substr(out.mainModule.find(L'/') + 1);
  }
  out.mainClass = replaceAll(mainClass, L'.', L'/');
  out.modulePath = read(kJavaRuntimeEnvironment, kModulePath);
  out.mainJar = read(kJavaRuntimeEnvironment, kMainJar);
  out.systemPath = read(kJavaRuntimeEnvironment, kSystemPath);
  out.libraryPath = read(kJavaRuntimeEnvironment, kLibraryPath);
  out.vmParameters = read(kJavaRuntimeEnvironment, kVirtualMachineParameters);
  out.classDataSharing = equalsNoCase(trimWhiteSpace(read(kJavaRuntimeEnvironment, kClassDataSharing)), L"auto");
  out.acceptUserVmParameters = isYesIgnoringCase(read(kJavaRuntimeEnvironment, kUserVmParameters));
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
  out.splashImage = read(kJavaRuntimeEnvironment, kSplashImage);
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

  if (out.mainClass.empty() && out.mainJar.empty() && out.mainModule.empty()) {
    printError(loadMessage(MessageId::MainClassMissing));
    return false;
  }
  // The class a module's descriptor names is known only once the VM runs.
  if (!out.mainModule.empty() && out.mainClass.empty() && (out.service || out.singleInstance)) {
    printError(loadMessage(MessageId::MainModuleNeedsClass), out.mainModule);
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
  // A Main Jar that names nothing here, reported as such, leaves nothing to run.
  if (out.mainClass.empty() && out.mainJar.empty() && out.mainModule.empty()) return false;

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
    if (out.acceptUserVmParameters) {
      IniFile(userFile).readString(settings::kJavaRuntimeEnvironment, settings::kVirtualMachineParameters,
                                   out.userVmParameters);
      out.userFile = userFile;
      if (diagnosing()) diagnose("per-user file %s: Virtual Machine Parameters=%s", userFile, out.userVmParameters);
    }
  } else if (diagnosing()) {
    diagnose("per-user file %s: not found", userFile);
  }
  return true;
}

}  // namespace tarn
