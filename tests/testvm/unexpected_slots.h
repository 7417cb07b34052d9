#pragma once
// Fills every slot of a JNI function table with a function that logs
// "unexpected JNI call <slot>" and ends the process with kUnexpectedJniCall;
// the caller then sets the slots the test VM implements.

#include "java_world.h"

namespace tarn::testvm {

void fillUnexpected(JNINativeInterface_& table);
void fillUnexpected(JNIInvokeInterface_& table);

}  // namespace tarn::testvm
