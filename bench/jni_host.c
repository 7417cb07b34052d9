/* The least a program can do to run a Java class in its own process: load
   libjvm.so (jvm.dll on Windows), create the VM with the class path, call the
   class's main with no arguments and destroy the VM. All of it on the
   process's first thread, with no configuration, no checks beyond the calls'
   results and no messages of its own. bench/startup times it beside the
   launcher and the java command; bench/overhead and bench/startup_wine with
   bench/stub_jvm.c as the VM, which ends the process in JNI_CreateJavaVM.

   usage: jni_host LIBJVM CLASSPATH MAINCLASS */
#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif
#include <jni.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef jint(JNICALL* CreateJavaVm)(JavaVM**, void**, void*);

int main(int argc, char** argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: %s LIBJVM CLASSPATH MAINCLASS\n", argv[0]);
    return 2;
  }
#ifdef _WIN32
  HMODULE library = LoadLibraryA(argv[1]);
  CreateJavaVm create = library != NULL ? (CreateJavaVm)(void*)GetProcAddress(library, "JNI_CreateJavaVM") : NULL;
#else
  void* library = dlopen(argv[1], RTLD_NOW | RTLD_GLOBAL);
  CreateJavaVm create = library != NULL ? (CreateJavaVm)dlsym(library, "JNI_CreateJavaVM") : NULL;
#endif
  if (create == NULL) {
    fprintf(stderr, "jni_host: cannot load %s\n", argv[1]);
    return 1;
  }

  const char* prefix = "-Djava.class.path=";
  char* classPath = malloc(strlen(prefix) + strlen(argv[2]) + 1);
  if (classPath == NULL) return 1;
  strcpy(classPath, prefix);
  strcat(classPath, argv[2]);
  JavaVMOption options[1] = {{classPath, NULL}};
  JavaVMInitArgs initArgs = {JNI_VERSION_1_2, 1, options, JNI_FALSE};

  JavaVM* vm = NULL;
  JNIEnv* env = NULL;
  if (create(&vm, (void**)&env, &initArgs) != JNI_OK) return 1;
  int status = 1;
  jclass mainClass = (*env)->FindClass(env, argv[3]);
  jmethodID mainMethod = mainClass != NULL ? (*env)->GetStaticMethodID(env, mainClass, "main", "([Ljava/lang/String;)V") : NULL;
  jclass stringClass = (*env)->FindClass(env, "java/lang/String");
  jobjectArray arguments = stringClass != NULL ? (*env)->NewObjectArray(env, 0, stringClass, NULL) : NULL;
  if (mainMethod != NULL && arguments != NULL) {
    (*env)->CallStaticVoidMethod(env, mainClass, mainMethod, arguments);
    status = 0;
  }
  if ((*env)->ExceptionCheck(env)) {
    (*env)->ExceptionDescribe(env);
    status = 1;
  }
  (*vm)->DestroyJavaVM(vm);
  free(classPath);
  return status;
}
