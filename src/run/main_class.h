#pragma once
// Finding the main class and calling its "main" on the worker thread
// (Launcher::runMainClass), and the builders of Java strings from wide text.

#include <jni.h>

#include <string>
#include <vector>

namespace tarn {

class Launcher;

// The text as the UTF-16 code units Java strings hold. UTF-16 wide text
// passes unchanged, unpaired surrogates included; in UTF-32 wide text a code
// point above U+FFFF becomes a surrogate pair and a value beyond U+10FFFF
// becomes U+FFFD.
std::vector<jchar> javaCodeUnits(const std::wstring& text);

// Wide text from the modified UTF-8 that GetStringUTFChars yields (NUL as
// C0 80, characters above U+FFFF as two encoded surrogates). Malformed bytes
// become U+FFFD.
std::wstring fromModifiedUtf8(const char* bytes);

// A new local reference to a java.lang.String holding the text's UTF-16 code
// units, or null when the VM fails a step.
jstring newJavaString(JNIEnv* env, const std::wstring& text);

// A new local reference to a String[] holding the texts in order (an empty
// list gives a zero-length array), or null when a step fails.
jobjectArray newJavaStringArray(JNIEnv* env, const std::vector<std::wstring>& texts);

// Launcher::runMainClass with the step that parks the worker thread for good
// when IBM runtimes are admitted; that step does not return in the launcher
// (a test passes one that does, and the run then ends without detaching).
bool runMainClassWith(Launcher& launcher, void (*sleepForever)());

// Platform steps (main_class_win.cpp, main_class_posix.cpp).
// Signals the single-instance guard's "main started" event.
void signalMainStarted(void* event);
// Blocks the calling thread for ever.
void sleepForever();

}  // namespace tarn
