#pragma once
// Creating the Java VM on the worker thread, the VM's exit and abort hooks,
// and the VM's default Java stack size.

#include <jni.h>

#include <cstdint>
#include <string>

#include "jvm/jvm_configuration.h"
#include "jvm/jvm_library.h"

namespace tarn {

// Handed to the VM as the "exit" and "abort" options; they pass the event on
// to the listener of setJvmHookListener.
void JNICALL jvmExitHook(jint code);
void JNICALL jvmAbortHook();

// The reason shown for a JNI_CreateJavaVM result: the text for JNI_ERR to
// JNI_EINVAL, empty for any other code.
std::wstring jvmCreationFailureReason(jint result);

// Creates the VM with the setup's options and the two hooks, then sends
// System.out and System.err to the setup's files (their stamps written with
// one reading of the clock). False, with the message written, when the VM
// refuses; vm and env are then null. A failed redirection leaves that
// stream as it was.
bool createJvm(const JvmEntryPoints& entries, const VmSetup& setup, JavaVM*& vm, JNIEnv*& env);

// The Java stack size that the VM's JNI 1.1 defaults give, or 0.
uint64_t defaultJavaStackSize(const JvmEntryPoints& entries);

}  // namespace tarn
