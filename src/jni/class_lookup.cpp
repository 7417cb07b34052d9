#include "jni/class_lookup.h"

#include "jni/java_strings.h"

namespace tarn {

ClassLookup::ClassLookup(JNIEnv* env, const std::wstring& name) : env_(env), javaName_(newJavaString(env, name)) {
  if (javaName_ == nullptr) return;
  searchedName_ = env->GetStringUTFChars(javaName_, nullptr);
  if (searchedName_ != nullptr) found_ = env->FindClass(searchedName_);
}

ClassLookup::~ClassLookup() {
  // Both are allowed while an exception is pending.
  if (searchedName_ != nullptr) env_->ReleaseStringUTFChars(javaName_, searchedName_);
  if (javaName_ != nullptr) env_->DeleteLocalRef(javaName_);
}

jclass findClassByName(JNIEnv* env, const std::wstring& name) {
  return ClassLookup(env, name).found();
}

}  // namespace tarn
