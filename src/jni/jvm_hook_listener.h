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

// The VM calls its hooks without context, on whichever of its threads ends
// the process; they reach the listener installed here, if any. Null removes it.
void setJvmHookListener(JvmHookListener* listener);

// Called by the exit hook after the listener, last before the process ends
// with `code`; it may end the process itself. Null removes it.
using JvmExitFollowUp = void (*)(jint code);
void setJvmExitFollowUp(JvmExitFollowUp followUp);

}  // namespace tarn
