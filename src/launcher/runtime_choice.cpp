// Launcher::chooseJavaRuntime: the sources of a Java runtime in order of
// precedence, and the way out when none of them has one.
#include "discovery/java_home.h"
#include "discovery/java_version.h"
#include "launcher/launcher.h"
#include "run/error_output.h"
#include "ui/message_table.h"

namespace tarn {

namespace {

// Where the missing-runtime dialog cannot ask the user (always on Linux,
// which has none, and on Windows until it exists), its text becomes an error
// line: a console user learns why the start failed.
void reportMissingRuntimeOnConsole(const std::wstring& dialogText) { printError(dialogText); }

}  // namespace

bool Launcher::chooseJavaRuntime() {
  const wchar_t separator = nativeJavaHomeLayout().separator;
  bool server = false;

  // The one source allowed to point at the current directory: a relative
  // JRE Path is taken against it, and Override WorkingDir may have set it.
  if (!jrePath.empty()) {
    jvmDllPath = findJvmDll(withTrailingSeparator(jrePath, separator), jvmType, server);
    if (!jvmDllPath.empty()) {
      checkJvmMachine();
      return true;
    }
  }

  std::wstring home;
  if (findPrivateRuntime(home)) {
    std::wstring path = findJvmDll(home, jvmType, server);
    if (!path.empty()) {
      jvmDllPath = std::move(path);
      return true;
    }
  }

  // A runtime of the 32-bit view is only of use to a sibling launcher, and
  // is looked for only when the own view has none at all.
  home.clear();
  bool chosen = searchRegistry(false, home);
  if (!chosen && !pairProduct.empty()) {
    chosen = searchRegistry(true, home);
    if (chosen) relaunchPair = true;
  }
  if (chosen) {
    // An empty home would be the current directory, not a registered runtime.
    jvmDllPath = home.empty() ? std::wstring() : findJvmDll(withTrailingSeparator(home, separator), jvmType, server);
    if (!jvmDllPath.empty()) return true;
  }

  const MessageId message = jvmType == 1 ? MessageId::JreNotFoundServer : MessageId::JreNotFound;
  const std::wstring text = formatMessage(message, {describeVersionRequirement(minVersion, maxVersion)});
  // On OK the dialog has taken the user's pick: jvmDllPath, its machine
  // check and the JRE Path written back.
  if (showMissingJreDialog(text)) return true;
  reportMissingRuntimeOnConsole(text);
  return false;
}

}  // namespace tarn
