#include "run/main_class.h"

#include "base/diagnosis.h"
#include "base/error_output.h"
#include "base/message_table.h"
#include "base/text.h"
#include "jni/class_lookup.h"
#include "jni/java_strings.h"
#include "jni/local_ref.h"
#include "run/stack_trace.h"

namespace tarn {
namespace {

jclass loadThroughBootLoader(const MainClassCall& call) {
  if (call.findClassFromBootLoader == nullptr) return nullptr;
  JNIEnv* env = call.env;
  LocalRef helper(env, call.findClassFromBootLoader(env, "sun/launcher/LauncherHelper"));
  if (!helper) return nullptr;
  jmethodID checkAndLoadMain =
      env->GetStaticMethodID(helper.asClass(), "checkAndLoadMain", "(ZILjava/lang/String;)Ljava/lang/Class;");
  if (checkAndLoadMain == nullptr) return nullptr;
  LocalRef dottedName(env, newJavaString(env, replaceAll(call.mainClass, L'/', L'.')));
  if (!dottedName) return nullptr;
  jvalue arguments[3];
  arguments[0].z = JNI_TRUE;
  arguments[1].i = 1;
  arguments[2].l = dottedName.get();
  return static_cast<jclass>(env->CallStaticObjectMethodA(helper.asClass(), checkAndLoadMain, arguments));
}

jclass loadThroughFindClass(const MainClassCall& call) {
  JNIEnv* env = call.env;
  const ClassLookup lookup(env, call.mainClass);
  if (jclass mainClass = lookup.found()) return mainClass;
  if (!lookup.javaNameMade()) {
    printError(loadMessage(MessageId::MainClassLoadFailed), call.mainClass);
    return nullptr;
  }
  env->ExceptionDescribe();
  if (lookup.searchedName() != nullptr) {
    printError(loadMessage(MessageId::MainClassNotFound), fromModifiedUtf8(lookup.searchedName()));
  }
  return nullptr;
}

jclass loadMainClass(const MainClassCall& call) {
  if (jclass mainClass = loadThroughBootLoader(call)) {
    if (diagnosing()) diagnose("main class %s: loaded through LauncherHelper.checkAndLoadMain", call.mainClass);
    return mainClass;
  }
  if (diagnosing()) {
    diagnose("main class %s: loaded through FindClass", call.mainClass);
  }
  // A boot-loader route that threw (checkAndLoadMain missing or failing)
  // leaves its exception pending, and FindClass must not run with one pending.
  if (call.env->ExceptionCheck()) call.env->ExceptionClear();
  return loadThroughFindClass(call);
}

void exitJava(JNIEnv* env, jint code) {
  LocalRef system(env, env->FindClass("java/lang/System"));
  if (system) {
    jmethodID exit = env->GetStaticMethodID(system.asClass(), "exit", "(I)V");
    jvalue argument;
    argument.i = code;
    if (exit != nullptr) env->CallStaticVoidMethodA(system.asClass(), exit, &argument);
  }
  if (env->ExceptionCheck()) env->ExceptionDescribe();
}

// Failure Check: the exception that main left pending is put to the question
// with its stack trace. To go on, it is thrown again and left to the VM, as
// without the setting; to stop, System.exit(-1), so that the VM's exit hooks
// run.
bool stopAfterException(const MainClassCall& call, jthrowable exception) {
  JNIEnv* env = call.env;
  env->ExceptionClear();
  if (!call.askToStop(stackTraceText(env, exception))) {
    env->Throw(exception);
    return false;
  }
  exitJava(env, -1);
  return true;
}

// Steps up to the return of "main"; every local reference made here is gone
// before the thread detaches.
MainOutcome callMainMethod(const MainClassCall& call) {
  JNIEnv* env = call.env;
  jclass mainClass = loadMainClass(call);
  if (mainClass == nullptr) return MainOutcome::NotCalled;
  LocalRef classReference(env, mainClass);
  jmethodID main = env->GetStaticMethodID(mainClass, "main", "([Ljava/lang/String;)V");
  if (main == nullptr) {
    if (env->ExceptionCheck()) {
      env->ExceptionDescribe();
    } else {
      printError(loadMessage(MessageId::MainMethodNotFound));
    }
    return MainOutcome::NotCalled;
  }
  jobjectArray arguments = newJavaStringArray(env, call.arguments);
  if (arguments == nullptr) {
    env->ExceptionDescribe();
    return MainOutcome::NotCalled;
  }
  LocalRef argumentsReference(env, arguments);
  if (call.beforeMain) call.beforeMain();
  const PhaseTimer running;
  jvalue argument;
  argument.l = arguments;
  env->CallStaticVoidMethodA(mainClass, main, &argument);
  // An exception thrown out of main is not the launcher's to describe: it
  // stays pending, and the VM describes it when the thread detaches.
  LocalRef exception(env, env->ExceptionOccurred());
  running.report("main took %s");
  if (!exception) return MainOutcome::Returned;
  if (call.askToStop != nullptr && stopAfterException(call, static_cast<jthrowable>(exception.get()))) {
    return MainOutcome::Stopped;
  }
  return MainOutcome::Threw;
}

}  // namespace

MainOutcome runMainClassWith(const MainClassCall& call, void (*sleepForever)()) {
  const MainOutcome outcome = callMainMethod(call);
  const bool mainEnded = outcome == MainOutcome::Returned || outcome == MainOutcome::Threw;
  if (mainEnded && call.threadsStayAttached) {
    // The thread never detaches, so a pending exception would never be told.
    if (outcome == MainOutcome::Threw) call.env->ExceptionDescribe();
    sleepForever();
    return MainOutcome::NotCalled;
  }
  // Also after a failure: a thread that ends still attached would keep the
  // VM's teardown (DestroyJavaVM) waiting for it for ever.
  const bool detached = call.vm != nullptr && call.vm->DetachCurrentThread() == JNI_OK;
  return detached ? outcome : MainOutcome::NotCalled;
}

MainOutcome runMainClass(const MainClassCall& call) { return runMainClassWith(call, &tarn::sleepForever); }

}  // namespace tarn
