// A jvm.dll that lacks one of the two entry points every VM exports, for the
// launcher's check of its exports. TARN_TESTVM_WITH_CREATE keeps
// JNI_CreateJavaVM (and drops JNI_GetDefaultJavaVMInitArgs); without it only
// JNI_GetDefaultJavaVMInitArgs is there. Neither is ever expected to run.
#define _JNI_IMPLEMENTATION_
#include <windows.h>
#include <jni.h>

#include "vm_log.h"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) tarn::testvm::logLine("load " + tarn::testvm::escapeWide(tarn::testvm::ownModulePath()));
  return TRUE;
}

extern "C" {

#ifdef TARN_TESTVM_WITH_CREATE
JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM**, void**, void*) {
  tarn::testvm::fail(tarn::testvm::kMisuse, "JNI_CreateJavaVM called although JNI_GetDefaultJavaVMInitArgs is missing");
}
#else
JNIEXPORT jint JNICALL JNI_GetDefaultJavaVMInitArgs(void*) {
  tarn::testvm::fail(tarn::testvm::kMisuse, "JNI_GetDefaultJavaVMInitArgs called although JNI_CreateJavaVM is missing");
}
#endif

}  // extern "C"
