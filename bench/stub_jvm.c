/* A Java VM library that ends the process where the VM would start:
   JNI_CreateJavaVM exits at once with status 0, before it looks at its
   arguments. Laid out as lib/server/libjvm.so (Linux) or bin\server\jvm.dll
   (Windows), it lets bench/overhead and bench/startup_wine time a program's
   own work up to the creation of the VM, with nothing of a VM's start-up in
   the measurement. JNI_GetDefaultJavaVMInitArgs is there because the
   launcher requires the export, JVM_FindClassFromBootLoader because every
   runtime of today has it and a launcher looks it up: a missing export costs
   the loader a failed search that a real VM never causes. */
#define _JNI_IMPLEMENTATION_
#include <jni.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

JNIEXPORT jint JNICALL JNI_GetDefaultJavaVMInitArgs(void* args) {
  (void)args;
  return JNI_OK;
}

JNIEXPORT jclass JNICALL JVM_FindClassFromBootLoader(JNIEnv* env, const char* name) {
  (void)env;
  (void)name;
  return NULL;
}

JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM** vm, void** env, void* args) {
  (void)vm;
  (void)env;
  (void)args;
#ifdef _WIN32
  ExitProcess(0);
#else
  _exit(0);
#endif
}
