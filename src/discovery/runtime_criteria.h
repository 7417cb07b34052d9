#pragma once
// What a Java runtime must be to be chosen: the settings of the runtime
// search as typed values.

#include <string>
#include <vector>

#include "discovery/java_version.h"

namespace tarn {

// "JVM Type": which VM of a runtime is loaded.
enum class JvmType {
  Any,          // client VMs first, a server VM after them
  Server,       // a server VM only
  FavorServer,  // a server VM first, any other after it
};

// "JVM Source": which kinds of registered runtime are searched and preferred.
struct JvmSourceFlags {
  bool any = true;
  bool jdk = false;
  bool jre = false;
};

// "VM Provider": which vendors' registered runtimes are accepted and favoured.
struct VmProviderFlags {
  bool acceptJRockit = false;
  bool favorJRockit = false;
  bool acceptSun = true;
  bool favorSun = true;
  bool acceptIbm = false;
  bool favorIbm = false;
};

struct RuntimeCriteria {
  JvmType jvmType = JvmType::Any;
  // Minimum Version and Maximum Version, their open parts filled.
  JavaVersion minVersion;
  JavaVersion maxVersion;
  // "Preferred versions", in the order given.
  std::vector<std::wstring> preferredVersions;
  JvmSourceFlags source;
  VmProviderFlags provider;
  // "Registry Search=classic": the five keys of the Java 1.x installers
  // only, without the keys of today's installers.
  bool classicKeysOnly = false;
  // "Use JAVA_HOME=yes" (Linux): the runtime that JAVA_HOME names is looked
  // at before the installed runtimes' folders.
  bool javaHomeVariable = false;
};

}  // namespace tarn
