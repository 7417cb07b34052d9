#include "jvm/splash_screen.h"

#include "base/diagnosis.h"
#include "base/text.h"
#include "jvm/jvm_library.h"
#include "jvm/jvm_parameters.h"

namespace tarn {
namespace {

using SplashInitFunction = void (*)();
using SplashLoadFileFunction = int (*)(const char* file);
using SplashSetFileJarNameFunction = void (*)(const char* file, const char* jar);

void diagnoseNoSplash(const std::wstring& image, const std::wstring& why) {
  if (diagnosing()) diagnose("splash image %s: not shown, %s", image, why);
}

}  // namespace

std::wstring splashLibraryOf(const std::wstring& jvmLibrary, const PathStyle& style) {
  const std::wstring folder = parentFolder(parentFolder(jvmLibrary, style.separator), style.separator);
  return folder + style.separator + (style.windowsForms ? L"splashscreen.dll" : L"libsplashscreen.so");
}

bool showSplashScreen(const std::wstring& jvmLibrary, const std::wstring& image) {
  const std::wstring library = splashLibraryOf(jvmLibrary, nativePathStyle());
  uint32_t error = 0;
  // Never freed: the VM loads it again and takes over the splash it holds.
  const LibraryModule module = openJvmLibrary(library, error);
  if (module == nullptr) {
    if (diagnosing()) {
      diagnose("splash image %s: not shown, the runtime has no splash-screen library %s", image, library);
    }
    return false;
  }
  const auto init = reinterpret_cast<SplashInitFunction>(findExport(module, "SplashInit", error));
  const auto load = reinterpret_cast<SplashLoadFileFunction>(findExport(module, "SplashLoadFile", error));
  const auto name = reinterpret_cast<SplashSetFileJarNameFunction>(findExport(module, "SplashSetFileJarName", error));
  if (init == nullptr || load == nullptr || name == nullptr) {
    diagnoseNoSplash(image, L"the splash-screen library lacks its functions");
    return false;
  }
  const std::string file = toJvmCodePage(codePageSafePath(image));
  if (file.empty()) {
    diagnoseNoSplash(image, L"its path has no form in the VM's code page");
    return false;
  }
  init();
  if (load(file.c_str()) == 0) {
    diagnoseNoSplash(image, L"the library could not show it (a missing file, not an image it knows, or no display)");
    return false;
  }
  // For SplashScreen.getImageURL(); the load would forget a name set before.
  name(file.c_str(), nullptr);
  if (diagnosing()) diagnose("splash image %s: shown through %s", image, library);
  return true;
}

}  // namespace tarn
