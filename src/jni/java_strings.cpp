#include "jni/java_strings.h"

#include <limits>

#include "base/text.h"
#include "jni/local_ref.h"

namespace tarn {
namespace {

constexpr size_t kMaxJavaLength = static_cast<size_t>(std::numeric_limits<jsize>::max());

}  // namespace

jstring newJavaString(JNIEnv* env, const std::wstring& text) {
  LocalRef stringClass(env, env->FindClass("java/lang/String"));
  if (!stringClass) return nullptr;
  jmethodID constructor = env->GetMethodID(stringClass.asClass(), "<init>", "([C)V");
  if (constructor == nullptr) return nullptr;
  const std::u16string units = toUtf16(text);
  if (units.size() > kMaxJavaLength) return nullptr;
  const jsize length = static_cast<jsize>(units.size());
  LocalRef chars(env, env->NewCharArray(length));
  if (!chars) return nullptr;
  static const jchar kNoUnits[1] = {0};
  env->SetCharArrayRegion(static_cast<jcharArray>(chars.get()), 0, length,
                          units.empty() ? kNoUnits : reinterpret_cast<const jchar*>(units.data()));
  if (env->ExceptionCheck()) return nullptr;
  jvalue argument;
  argument.l = chars.get();
  return static_cast<jstring>(env->NewObjectA(stringClass.asClass(), constructor, &argument));
}

jobjectArray newJavaStringArray(JNIEnv* env, const std::vector<std::wstring>& texts) {
  LocalRef stringClass(env, env->FindClass("java/lang/String"));
  if (!stringClass) return nullptr;
  if (texts.size() > kMaxJavaLength) return nullptr;
  jobjectArray array = env->NewObjectArray(static_cast<jsize>(texts.size()), stringClass.asClass(), nullptr);
  if (array == nullptr) return nullptr;
  for (size_t i = 0; i < texts.size(); ++i) {
    LocalRef element(env, newJavaString(env, texts[i]));
    if (!element) {
      env->DeleteLocalRef(array);
      return nullptr;
    }
    env->SetObjectArrayElement(array, static_cast<jsize>(i), element.get());
  }
  return array;
}

}  // namespace tarn
