// The exports of the test VM, under the names of a real jvm.dll. Built in
// variants: with TARN_TESTVM_BOOT_LOADER the DLL also exports
// JVM_FindClassFromBootLoader, as HotSpot's does; with
// TARN_TESTVM_DEPENDENT it imports tarnvmdep.dll.
#include "java_vm.h"

#ifdef TARN_TESTVM_DEPENDENT
extern "C" __declspec(dllimport) int tarnVmDependency();
#endif

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
#ifdef TARN_TESTVM_DEPENDENT
    tarnVmDependency();
#endif
    tarn::testvm::onProcessAttach();
  }
  return TRUE;
}

extern "C" {

JNIEXPORT jint JNICALL JNI_GetDefaultJavaVMInitArgs(void* arguments) {
  return tarn::testvm::defaultJavaVmInitArgs(arguments);
}

JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM** vm, void** env, void* arguments) {
  return tarn::testvm::createJavaVm(vm, env, arguments);
}

#ifdef TARN_TESTVM_BOOT_LOADER
JNIEXPORT jclass JNICALL JVM_FindClassFromBootLoader(JNIEnv* env, const char* name) {
  return tarn::testvm::findClassFromBootLoader(env, name);
}
#endif

}  // extern "C"
