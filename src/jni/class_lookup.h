#pragma once
// Finding a class by its name through the VM's FindClass.

#include <jni.h>

#include <string>

namespace tarn {

// HotSpot's JVM_FindClassFromBootLoader, which the VM library exports.
using FindClassFromBootLoaderFunction = jclass(JNICALL*)(JNIEnv*, const char*);

// Looks up the class named `name` (with "/" between the package names).
// FindClass takes the name in modified UTF-8, which the VM makes from a Java
// string; it is held until the lookup goes. An exception the VM raised on
// the way stays pending.
class ClassLookup {
 public:
  ClassLookup(JNIEnv* env, const std::wstring& name);
  ~ClassLookup();
  ClassLookup(const ClassLookup&) = delete;
  ClassLookup& operator=(const ClassLookup&) = delete;

  // Null when no such class was found or the name could not be handed over.
  jclass found() const { return found_; }
  // False: no Java string could be made of the name, nothing was looked up.
  bool javaNameMade() const { return javaName_ != nullptr; }
  // The name as FindClass read it; null when the VM gave no modified UTF-8.
  const char* searchedName() const { return searchedName_; }

 private:
  JNIEnv* env_;
  jstring javaName_ = nullptr;
  const char* searchedName_ = nullptr;
  jclass found_ = nullptr;
};

// The class alone: null when it was not found, for whatever reason.
jclass findClassByName(JNIEnv* env, const std::wstring& name);

}  // namespace tarn
