#include "config/jre_path_write_back.h"

#include "base/file_system.h"
#include "config/ini_file.h"
#include "config/settings_names.h"

namespace tarn {

std::vector<std::wstring> jrePathTargets(const Settings& settings, const LauncherPaths& paths,
                                         const std::wstring& perUserFolder, const PathStyle& style) {
  std::vector<std::wstring> targets;
  const bool paired = !settings.pairProduct.empty();
  const std::wstring sibling = paired ? pairedLauncherPath(settings.pairProduct, paths.folder, style) : std::wstring();
  const ProductInformation& product = settings.product;
  if (!settings.service && !perUserFolder.empty()) {
    targets.push_back(userConfigPathFor(perUserFolder, product.name, product.code, paths.executable, style));
    if (paired) targets.push_back(userConfigPathFor(perUserFolder, product.name, product.code, sibling, style));
    return targets;
  }
  targets.push_back(paths.configFile);
  std::wstring siblingFile;
  if (paired && configPathFor(sibling, style, siblingFile)) targets.push_back(siblingFile);
  return targets;
}

void keepPickedRuntimeFolder(const Settings& settings, const LauncherPaths& paths, const std::wstring& folder) {
  std::wstring perUserFolder;
  if (settings.service || !perUserSettingsFolder(perUserFolder)) perUserFolder.clear();
  for (const std::wstring& target : jrePathTargets(settings, paths, perUserFolder, nativePathStyle())) {
    if (target.empty()) continue;  // a per-user file outside its folder, reported at the start
    ensureParentDirectories(target);
    IniFile(target).writeString(settings::kJavaRuntimeEnvironment, settings::kJrePath, folder);
  }
}

}  // namespace tarn
