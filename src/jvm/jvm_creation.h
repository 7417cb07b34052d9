#pragma once
// Creating the Java VM on the worker thread (Launcher::createJvm), the VM's
// exit and abort hooks, and the VM's default Java stack size.

#include <jni.h>

#include <string>

namespace tarn {

// Handed to the VM as the "exit" and "abort" options. The VM calls them
// without context, on whichever of its threads ends the process; they pass
// the event on to the Launcher's hookListener when one is installed.
void JNICALL jvmExitHook(jint code);
void JNICALL jvmAbortHook();

// The reason shown for a JNI_CreateJavaVM result: the text for JNI_ERR to
// JNI_EINVAL, empty for any other code.
std::wstring jvmCreationFailureReason(jint result);

}  // namespace tarn
