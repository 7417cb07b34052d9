/* A JVM library that exports only the two invocation entry points and hands
   both to the real libjvm.so named by TARN_FORWARDED_JVM. Laid out in a Java
   home of the Linux end-to-end scenarios, it stands for a runtime without
   JVM_FindClassFromBootLoader, so the launcher takes its FindClass route, and
   it can sit at the Java 8 places of the layout (lib/amd64/server/). The VM
   itself is the real one: it finds its own home from its own file. With
   TARN_FORWARDER_CRASH set, JNI_CreateJavaVM crashes instead. With
   TARN_FORWARDER_GATE=<file> set, JNI_CreateJavaVM makes <file>.waiting and
   then waits until <file> exists before it goes on: a scenario orders what
   happens while the VM is being created. */
#include <dlfcn.h>
#include <jni.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

typedef jint(JNICALL* CreateJavaVm)(JavaVM**, void**, void*);
typedef jint(JNICALL* DefaultInitArgs)(void*);

static void* realEntry(const char* name) {
  static void* library;
  if (library == NULL) {
    const char* path = getenv("TARN_FORWARDED_JVM");
    if (path == NULL) {
      fprintf(stderr, "jvm forwarder: TARN_FORWARDED_JVM is not set\n");
      return NULL;
    }
    library = dlopen(path, RTLD_NOW | RTLD_GLOBAL);
    if (library == NULL) {
      fprintf(stderr, "jvm forwarder: %s\n", dlerror());
      return NULL;
    }
  }
  return dlsym(library, name);
}

JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM** vm, void** env, void* args) {
  /* A VM that crashes while it starts (the signal of a bad access, without
     one that a sanitizer build would report first). */
  if (getenv("TARN_FORWARDER_CRASH") != NULL) raise(SIGSEGV);
  const char* gate = getenv("TARN_FORWARDER_GATE");
  if (gate != NULL) {
    char waiting[4096];
    snprintf(waiting, sizeof(waiting), "%s.waiting", gate);
    FILE* marker = fopen(waiting, "w");
    if (marker != NULL) fclose(marker);
    while (access(gate, F_OK) != 0) usleep(10000);
  }
  CreateJavaVm create = (CreateJavaVm)realEntry("JNI_CreateJavaVM");
  return create != NULL ? create(vm, env, args) : JNI_ERR;
}

JNIEXPORT jint JNICALL JNI_GetDefaultJavaVMInitArgs(void* args) {
  DefaultInitArgs defaults = (DefaultInitArgs)realEntry("JNI_GetDefaultJavaVMInitArgs");
  return defaults != NULL ? defaults(args) : JNI_ERR;
}
