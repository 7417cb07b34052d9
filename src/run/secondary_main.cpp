#include "run/secondary_main.h"

#include "jni/class_lookup.h"
#include "jni/java_strings.h"
#include "jni/local_ref.h"

namespace tarn {
namespace {

bool callSecondaryMain(JNIEnv* env, const std::wstring& mainClassName, const std::vector<std::wstring>& forwarded,
                       SecondaryAnswer answer, void* context) {
  jclass found = findClassByName(env, mainClassName);
  if (found == nullptr) return false;
  LocalRef mainClass(env, found);
  bool integerForm = false;
  jmethodID method = env->GetStaticMethodID(found, "secondaryMain", "([Ljava/lang/String;)V");
  if (method == nullptr) {
    if (env->ExceptionCheck()) env->ExceptionClear();
    method = env->GetStaticMethodID(found, "secondaryMain", "([Ljava/lang/String;)I");
    integerForm = true;
  }
  if (method == nullptr) return false;
  LocalRef arguments(env, newJavaStringArray(env, forwarded));
  if (!arguments) return false;
  jvalue argument;
  argument.l = arguments.get();
  if (integerForm) {
    answer(context, env->CallStaticIntMethodA(found, method, &argument));
  } else {
    answer(context, 0);
    env->CallStaticVoidMethodA(found, method, &argument);
  }
  return true;
}

}  // namespace

bool serveSecondaryMain(JavaVM* vm, const std::wstring& mainClass, const std::vector<std::wstring>& arguments,
                        bool threadsStayAttached, SecondaryAnswer answer, void* context) {
  JNIEnv* env = nullptr;
  if (vm == nullptr || vm->AttachCurrentThread(reinterpret_cast<void**>(&env), nullptr) != JNI_OK) return false;
  const bool answered = callSecondaryMain(env, mainClass, arguments, answer, context);
  if (env->ExceptionCheck()) env->ExceptionDescribe();
  if (!threadsStayAttached) vm->DetachCurrentThread();
  return answered;
}

}  // namespace tarn
