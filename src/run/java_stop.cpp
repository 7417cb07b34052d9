#include "run/java_stop.h"

#include "jni/class_lookup.h"
#include "jni/local_ref.h"

namespace tarn {
namespace {

void callStop(JNIEnv* env, const std::wstring& mainClass) {
  LocalRef type(env, findClassByName(env, mainClass));
  if (!type) return;
  jmethodID stop = env->GetStaticMethodID(type.asClass(), "stop", "()V");
  if (stop == nullptr) return;
  env->CallStaticVoidMethodA(type.asClass(), stop, nullptr);
}

}  // namespace

void callJavaStop(JavaVM* vm, const std::wstring& mainClass, bool detach) {
  JNIEnv* env = nullptr;
  if (vm == nullptr || vm->AttachCurrentThread(reinterpret_cast<void**>(&env), nullptr) != JNI_OK) return;
  callStop(env, mainClass);
  // A missing class or method and an exception out of stop alike.
  if (env->ExceptionCheck()) env->ExceptionDescribe();
  if (detach) vm->DetachCurrentThread();
}

}  // namespace tarn
