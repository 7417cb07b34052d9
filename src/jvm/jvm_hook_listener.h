#pragma once
// Receives the Java VM's exit and abort hooks.

#include <jni.h>

namespace tarn {

class JvmHookListener {
 public:
  virtual ~JvmHookListener() = default;
  virtual void onJvmExit(jint code) = 0;
  virtual void onJvmAbort() = 0;
};

}  // namespace tarn
