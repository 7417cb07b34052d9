#include "jvm/jvm_library.h"

#include "launcher/launcher.h"
#include "run/error_output.h"
#include "ui/message_table.h"

namespace tarn {
namespace {

void reportMissingEntryPoint(uint32_t error) {
  printError(loadMessage(MessageId::WindowsException), loadMessage(MessageId::CreateJavaVmMissing),
             static_cast<int32_t>(error));
}

}  // namespace

bool Launcher::loadJvmLibrary(const std::wstring& path) {
  uint32_t error = 0;
  // Deliberately never freed, also when an entry point is missing below: the
  // VM lives until the process ends, so its library must stay mapped.
  LibraryModule module = openJvmLibrary(path, error);
  if (module == nullptr) {
    printError(loadMessage(MessageId::JvmLibraryLoadFailed), path, static_cast<int32_t>(error));
    return false;
  }
  createJavaVmEntry = reinterpret_cast<CreateJavaVmFunction>(findExport(module, "JNI_CreateJavaVM", error));
  if (createJavaVmEntry == nullptr) {
    reportMissingEntryPoint(error);
    return false;
  }
  defaultInitArgsEntry =
      reinterpret_cast<DefaultInitArgsFunction>(findExport(module, "JNI_GetDefaultJavaVMInitArgs", error));
  if (defaultInitArgsEntry == nullptr) {
    reportMissingEntryPoint(error);
    return false;
  }
  // Optional: without it the main class is looked up through FindClass alone.
  findClassFromBootLoaderEntry = reinterpret_cast<FindClassFromBootLoaderFunction>(
      findExport(module, "JVM_FindClassFromBootLoader", error));
  return true;
}

}  // namespace tarn
