#include "jvm/jvm_library.h"

#include "base/error_output.h"
#include "base/message_table.h"
#include "jvm/jvm_parameters.h"

namespace tarn {
namespace {

void reportMissingEntryPoint(uint32_t error) {
  printError(loadMessage(MessageId::WindowsException), loadMessage(MessageId::CreateJavaVmMissing),
             static_cast<int32_t>(error));
}

}  // namespace

bool loadJvmLibrary(const std::wstring& path, JvmEntryPoints& out) {
  // The VM finds its home from its own module's path, which it reads in the
  // code page.
  const std::wstring loadable = codePageSafePath(path);
  if (loadable.empty()) {
    printError(loadMessage(MessageId::PathOutsideCodePage), path);
    return false;
  }
  uint32_t error = 0;
  // Deliberately never freed, also when an entry point is missing below: the
  // VM lives until the process ends, so its library must stay mapped.
  LibraryModule module = openJvmLibrary(loadable, error);
  if (module == nullptr) {
    printError(loadMessage(MessageId::JvmLibraryLoadFailed), path, static_cast<int32_t>(error));
    return false;
  }
  out.createJavaVm = reinterpret_cast<CreateJavaVmFunction>(findExport(module, "JNI_CreateJavaVM", error));
  if (out.createJavaVm == nullptr) {
    reportMissingEntryPoint(error);
    return false;
  }
  out.defaultInitArgs =
      reinterpret_cast<DefaultInitArgsFunction>(findExport(module, "JNI_GetDefaultJavaVMInitArgs", error));
  if (out.defaultInitArgs == nullptr) {
    reportMissingEntryPoint(error);
    return false;
  }
  out.findClassFromBootLoader = reinterpret_cast<FindClassFromBootLoaderFunction>(
      findExport(module, "JVM_FindClassFromBootLoader", error));
  return true;
}

}  // namespace tarn
