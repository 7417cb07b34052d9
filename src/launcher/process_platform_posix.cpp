// POSIX: the process's arguments, locale and current directory.
#include <unistd.h>

#include "base/character_classes_posix.h"
#include "base/text.h"
#include "launcher/process_platform.h"
#include "run/restart.h"

namespace tarn {

namespace {
std::vector<std::wstring>& rememberedArguments() {
  static std::vector<std::wstring> arguments;
  return arguments;
}
}  // namespace

void protectProcess() {}

void routeErrorsOfWindowlessProgram() {}

void rememberProgramArguments(int argc, char** argv) {
  std::vector<std::wstring>& arguments = rememberedArguments();
  keepArgumentVector(argv);
  arguments.clear();
  for (int i = 1; i < argc; ++i) arguments.push_back(fromUtf8(argv[i]));
}

std::vector<std::wstring> processArguments() { return rememberedArguments(); }

// Only the character classes (iswspace) depend on it, and they load it when
// they first need it. The VM sets the process's locale itself.
void useSystemDefaultLocale() { useEnvironmentCharacterClasses(); }

void changeCurrentDirectory(const std::wstring& folder) {
  if (chdir(toUtf8(folder).c_str()) != 0) return;
}

}  // namespace tarn
