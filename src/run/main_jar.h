#pragma once
// The manifest of the main JAR, read through the runtime's own
// java.util.jar.JarFile before its main class is loaded, so that a JAR that
// cannot run is told apart from a class that cannot be loaded.

#include <jni.h>

#include <string>

namespace tarn {

enum class MainJarState {
  Runnable,     // a manifest with a Main-Class
  Damaged,      // JarFile could not open or read it
  NoManifest,
  NoMainClass,
  NoJarReader,  // the runtime has no JarFile the launcher can call
};

struct MainJarManifest {
  MainJarState state = MainJarState::NoJarReader;
  // Runnable: the Main-Class as written (dotted); Damaged: the exception.
  std::wstring text;
};

// Opens the JAR, reads its Main-Class and closes it again. Nothing is left
// pending.
MainJarManifest readMainJarManifest(JNIEnv* env, const std::wstring& jarPath);

// The message for a JAR that cannot run (false, with the message written),
// or true for a runnable one.
bool reportMainJarState(const MainJarManifest& manifest, const std::wstring& jarPath);

}  // namespace tarn
