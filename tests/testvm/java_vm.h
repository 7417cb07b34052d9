#pragma once
// The invocation interface of the test VM; exports.cpp exports these under
// the names a real jvm.dll uses.

#include "java_world.h"

namespace tarn::testvm {

// DLL_PROCESS_ATTACH: the lock, and the log line naming this module.
void onProcessAttach();

jint createJavaVm(JavaVM** vm, void** env, void* arguments);
jint defaultJavaVmInitArgs(void* arguments);
jclass findClassFromBootLoader(JNIEnv* env, const char* name);

}  // namespace tarn::testvm
