#include "jvm/user_vm_parameters.h"

#include "base/environment.h"
#include "base/error_output.h"
#include "base/message_table.h"

namespace tarn {

bool choosesCode(const std::wstring& parameter) {
  static const wchar_t* const kPrefixes[] = {
      L"-javaagent:", L"-agentpath:", L"-agentlib:", L"-Xrun", L"-Xbootclasspath", L"-Xpatch",
      L"-Djava.class.path=", L"-Djava.system.class.loader=", L"-Djava.security.manager", L"-Djava.security.policy=",
      L"-Djava.security.properties=",
      L"-Djava.library.path=", L"-Dsun.boot.library.path=", L"-Dsun.boot.class.path=", L"-Djava.ext.dirs=",
      L"-Djava.endorsed.dirs=", L"-Djava.home=", L"-Djdk.module.", L"-Djava.nio.file.spi.",
      L"--patch-module", L"--module-path", L"--upgrade-module-path", L"-XX:VMOptionsFile=", L"-XX:Flags=",
      L"-XX:OnError=", L"-XX:OnOutOfMemoryError=",
      // Class data read from a file of the user's choosing.
      L"-XX:SharedArchiveFile=", L"-XX:AOTCache=",
  };
  for (const wchar_t* prefix : kPrefixes) {
    if (parameter.compare(0, std::wstring(prefix).size(), prefix) == 0) return true;
  }
  return parameter.compare(0, 4, L"-XX:") == 0 && parameter.find(L"JVMCI") != std::wstring::npos;
}

void appendUserVmParameters(const std::vector<std::wstring>& parameters, const std::wstring& userFile,
                            std::vector<std::wstring>& out) {
  for (std::wstring parameter : parameters) {
    expandEnvironment(parameter);
    if (choosesCode(parameter)) {
      printError(loadMessage(MessageId::UserVmParameterRefused), parameter, userFile);
    } else {
      out.push_back(std::move(parameter));
    }
  }
}

}  // namespace tarn
