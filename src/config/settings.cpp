// Launcher::readSettings: the configuration file into the Launcher's members.
#include "base/text.h"
#include "config/ini_file.h"
#include "config/launcher_paths.h"
#include "config/layered_ini_file.h"
#include "config/settings_keywords.h"
#include "config/settings_names.h"
#include "launcher/launcher.h"
#include "run/error_output.h"
#include "ui/message_table.h"

namespace tarn {

bool Launcher::readSettings() {
  using namespace settings;

  std::wstring path;
  if (!configFilePath(path)) return false;

  // The product keys choose the built-in settings and the per-user folder,
  // so they come from the file alone.
  IniFile file(path);
  file.readString(kProductInformation, kProductCode, productCode);
  file.readString(kProductInformation, kUpgradeCode, upgradeCode);
  file.readString(kProductInformation, kProductName, productName);

  LayeredIniFile ini(path, builtInSettingsText(upgradeCode));
  std::wstring value;

  ini.readString(kJavaRuntimeEnvironment, kMinimumVersion, value);
  minVersion = versionBoundFor(value, 0);
  ini.readString(kJavaRuntimeEnvironment, kMaximumVersion, value);
  maxVersion = versionBoundFor(value, 65535);

  ini.readString(kApplication, kApplicationType, value);
  isService = isServiceType(value);
  if (isService) {
    ini.readString(kApplication, kOmitServiceName, value);
    omitServiceName = !value.empty();
  }

  ini.readString(kJavaRuntimeEnvironment, kPreferredVersions, value);
  preferredVersions = splitAtSeparator(value, L';');

  // The runtime folder chosen in the missing-runtime dialog is kept per user;
  // once that file exists it alone gives JRE Path, even without the key.
  std::wstring userPath;
  if (isNtPlatform() && !isService) userConfigFilePath(userPath, false);
  if (!userPath.empty() && findFile(userPath)) {
    IniFile(userPath).readString(kJavaRuntimeEnvironment, kJrePath, jrePath);
  } else {
    ini.readString(kJavaRuntimeEnvironment, kJrePath, jrePath);
  }

  ini.readString(kJavaRuntimeEnvironment, kJvmType, value);
  jvmType = jvmTypeFor(value);

  ini.readString(kJavaRuntimeEnvironment, kJvmSource, value);
  JvmSourceFlags source{sourceAny, sourceJdk, sourceJre};
  applyJvmSource(value, source);
  sourceAny = source.any;
  sourceJdk = source.jdk;
  sourceJre = source.jre;

  ini.readString(kJavaRuntimeEnvironment, kVmProvider, value);
  VmProviderFlags provider{acceptJRockit, favorJRockit, acceptSun, favorSun, acceptIbm, favorIbm};
  applyVmProvider(value, provider);
  acceptJRockit = provider.acceptJRockit;
  favorJRockit = provider.favorJRockit;
  acceptSun = provider.acceptSun;
  favorSun = provider.favorSun;
  acceptIbm = provider.acceptIbm;
  favorIbm = provider.favorIbm;

  ini.readString(kJavaRuntimeEnvironment, kMainClass, mainClassName);
  if (mainClassName.empty()) {
    printError(loadMessage(MessageId::MainClassMissing));
    return false;
  }
  mainClassName = replaceAll(mainClassName, L'.', L'/');

  ini.readString(kApplication, kFailureCheck, value);
  failureCheck = isYesIgnoringCase(value);
  ini.readString(kApplication, kOverrideWorkingDir, value);
  overrideWorkingDir = isYesIgnoringCase(value);

  ini.readString(kJavaRuntimeEnvironment, kSystemPath, systemPath);
  ini.readString(kJavaRuntimeEnvironment, kLibraryPath, libraryPath);
  ini.readString(kApplication, kPairProduct, pairProduct);
  ini.readString(kApplication, kPairReturnCode, value);
  pairReturnCode = isYesIgnoringCase(value);
  return true;
}

}  // namespace tarn
