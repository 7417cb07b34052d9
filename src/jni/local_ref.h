#pragma once
// Owner of a JNI local reference. DeleteLocalRef is allowed while an
// exception is pending, so every return path may let one go out of scope.

#include <jni.h>

namespace tarn {

class LocalRef {
 public:
  LocalRef(JNIEnv* env, jobject object) : env_(env), object_(object) {}
  ~LocalRef() {
    if (object_ != nullptr) env_->DeleteLocalRef(object_);
  }
  LocalRef(const LocalRef&) = delete;
  LocalRef& operator=(const LocalRef&) = delete;

  jobject get() const { return object_; }
  jclass asClass() const { return static_cast<jclass>(object_); }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  JNIEnv* env_;
  jobject object_;
};

}  // namespace tarn
