#pragma once
// The stack trace of a Java exception as text, for a person to read.

#include <jni.h>

#include <string>

namespace tarn {

// What exception.printStackTrace writes, taken from a java.io.StringWriter
// (lines end as the VM ends them). Empty when the VM fails a step; an
// exception raised on the way is cleared. Nothing may be pending when it is
// called.
std::wstring stackTraceText(JNIEnv* env, jthrowable exception);

}  // namespace tarn
