#include "run/java_stop.h"

#include "jvm/java_strings.h"
#include "jvm/local_ref.h"

namespace tarn {
namespace {

void callStop(JNIEnv* env, const std::wstring& mainClass) {
  LocalRef name(env, newJavaString(env, mainClass));
  if (!name) return;
  // The VM makes the modified UTF-8 that FindClass expects.
  const char* bytes = env->GetStringUTFChars(static_cast<jstring>(name.get()), nullptr);
  if (bytes == nullptr) return;
  LocalRef type(env, env->FindClass(bytes));
  env->ReleaseStringUTFChars(static_cast<jstring>(name.get()), bytes);
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
