/* The least a program can do to run a Java class in its own process: load
   libjvm.so (jvm.dll on Windows), create the VM with the class path, call the
   class's main with no arguments and destroy the VM. All of it on the
   process's first thread, with no configuration, no checks beyond the calls'
   results and no messages of its own. bench/startup times it beside the
   launcher and the java command; bench/overhead and bench/startup_wine with
   bench/stub_jvm.c as the VM, which ends the process in JNI_CreateJavaVM.

   With --as-launcher it does the JNI work the way the java command and the
   launcher do it, and nothing else of theirs: the VM is created and main
   is called on a thread of its own (whose stack a launcher can size), the
   main class is found through the boot loader's
   sun.launcher.LauncherHelper.checkAndLoadMain, the thread detaches when
   main has returned, and the first thread destroys the VM. The benches time
   both forms, so that the cost of that shape shows apart from the
   launcher's own work.

   usage: jni_host [--as-launcher] LIBJVM CLASSPATH MAINCLASS */
#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <pthread.h>
#endif
#include <jni.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef jint(JNICALL* CreateJavaVm)(JavaVM**, void**, void*);
typedef jclass(JNICALL* FindClassFromBootLoader)(JNIEnv*, const char*);

struct Run {
  void* library;
  CreateJavaVm create;
  char* classPathOption;
  const char* mainClass;
  int asLauncher;
  JavaVM* vm;
  int status;
};

static void* libraryFunction(void* library, const char* name) {
#ifdef _WIN32
  return (void*)GetProcAddress((HMODULE)library, name);
#else
  return dlsym(library, name);
#endif
}

/* LauncherHelper.checkAndLoadMain(true, 1, "dotted.Name"), as the java
   command calls it for a class named on its command line. */
static jclass loadThroughLauncherHelper(JNIEnv* env, void* library, const char* name) {
  FindClassFromBootLoader fromBootLoader = (FindClassFromBootLoader)libraryFunction(library, "JVM_FindClassFromBootLoader");
  jclass helper = fromBootLoader != NULL ? fromBootLoader(env, "sun/launcher/LauncherHelper") : NULL;
  jmethodID checkAndLoadMain =
      helper != NULL ? (*env)->GetStaticMethodID(env, helper, "checkAndLoadMain", "(ZILjava/lang/String;)Ljava/lang/Class;")
                     : NULL;
  if (checkAndLoadMain == NULL) return NULL;
  char* dotted = strdup(name);
  if (dotted == NULL) return NULL;
  for (char* c = dotted; *c != '\0'; ++c) {
    if (*c == '/') *c = '.';
  }
  jstring dottedName = (*env)->NewStringUTF(env, dotted);
  free(dotted);
  if (dottedName == NULL) return NULL;
  return (jclass)(*env)->CallStaticObjectMethod(env, helper, checkAndLoadMain, JNI_TRUE, (jint)1, dottedName);
}

/* Creates the VM and runs main; run->vm stays set for DestroyJavaVM. */
static void createAndRun(struct Run* run) {
  JavaVMOption options[1] = {{run->classPathOption, NULL}};
  JavaVMInitArgs initArgs = {JNI_VERSION_1_2, 1, options, JNI_FALSE};
  JNIEnv* env = NULL;
  run->status = 1;
  if (run->create(&run->vm, (void**)&env, &initArgs) != JNI_OK) {
    run->vm = NULL;
    return;
  }
  jclass mainClass = run->asLauncher ? loadThroughLauncherHelper(env, run->library, run->mainClass)
                                     : (*env)->FindClass(env, run->mainClass);
  jmethodID mainMethod = mainClass != NULL ? (*env)->GetStaticMethodID(env, mainClass, "main", "([Ljava/lang/String;)V") : NULL;
  jclass stringClass = (*env)->FindClass(env, "java/lang/String");
  jobjectArray arguments = stringClass != NULL ? (*env)->NewObjectArray(env, 0, stringClass, NULL) : NULL;
  if (mainMethod != NULL && arguments != NULL) {
    (*env)->CallStaticVoidMethod(env, mainClass, mainMethod, arguments);
    run->status = 0;
  }
  if ((*env)->ExceptionCheck(env)) {
    (*env)->ExceptionDescribe(env);
    run->status = 1;
  }
  if (run->asLauncher) (*run->vm)->DetachCurrentThread(run->vm);
}

#ifdef _WIN32
static DWORD WINAPI runThread(LPVOID run) {
  createAndRun((struct Run*)run);
  return 0;
}

static void runOnOwnThread(struct Run* run) {
  HANDLE thread = CreateThread(NULL, 0, runThread, run, 0, NULL);
  if (thread == NULL) return;
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
}
#else
static void* runThread(void* run) {
  createAndRun((struct Run*)run);
  return NULL;
}

static void runOnOwnThread(struct Run* run) {
  pthread_t thread;
  if (pthread_create(&thread, NULL, runThread, run) != 0) return;
  pthread_join(thread, NULL);
}
#endif

int main(int argc, char** argv) {
  struct Run run = {0};
  run.asLauncher = argc > 1 && strcmp(argv[1], "--as-launcher") == 0;
  if (run.asLauncher) {
    --argc;
    ++argv;
  }
  if (argc != 4) {
    fprintf(stderr, "usage: jni_host [--as-launcher] LIBJVM CLASSPATH MAINCLASS\n");
    return 2;
  }
#ifdef _WIN32
  run.library = (void*)LoadLibraryA(argv[1]);
#else
  run.library = dlopen(argv[1], RTLD_NOW | RTLD_GLOBAL);
#endif
  run.create = run.library != NULL ? (CreateJavaVm)libraryFunction(run.library, "JNI_CreateJavaVM") : NULL;
  if (run.create == NULL) {
    fprintf(stderr, "jni_host: cannot load %s\n", argv[1]);
    return 1;
  }

  const char* prefix = "-Djava.class.path=";
  run.classPathOption = malloc(strlen(prefix) + strlen(argv[2]) + 1);
  if (run.classPathOption == NULL) return 1;
  strcpy(run.classPathOption, prefix);
  strcat(run.classPathOption, argv[2]);
  run.mainClass = argv[3];
  run.status = 1;

  if (run.asLauncher) {
    runOnOwnThread(&run);
  } else {
    createAndRun(&run);
  }
  if (run.vm != NULL) (*run.vm)->DestroyJavaVM(run.vm);
  free(run.classPathOption);
  return run.status;
}
