#pragma once
// Asking the Java application to stop: its main class's static "stop()".

#include <jni.h>

#include <string>

namespace tarn {

// On the calling thread, which is not the VM's yet: attaches it, calls the
// main class's static "stop" with signature ()V, lets the VM describe any
// exception that is left pending (no such class, no such method, one thrown
// by stop), and detaches unless `detach` is false. Nothing happens when the
// thread cannot be attached.
void callJavaStop(JavaVM* vm, const std::wstring& mainClass, bool detach);

}  // namespace tarn
