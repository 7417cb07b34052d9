#pragma once
// A small Java world behind a real JNIEnv / JavaVM function table, holding
// only the functions the launcher's VM-hosting code calls. It records every
// call in order, checks the rules of JNI that the launcher must keep (no call
// but the exception-safe ones while an exception is pending, no use of a
// deleted reference, nothing after the detach) and lets a test decide which
// classes and methods exist and which calls fail.
//
// One FakeJni is active at a time (the last constructed); the entry points
// below reach it, since the VM's functions get no context of their own.

#include <jni.h>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace tarn::test {

struct RecordedOption {
  std::string text;
  void* extraInfo;
};

class FakeJni {
 public:
  FakeJni();
  ~FakeJni();
  FakeJni(const FakeJni&) = delete;
  FakeJni& operator=(const FakeJni&) = delete;

  JNIEnv* env() { return &env_; }
  JavaVM* vm() { return &vm_; }

  // ---- the Java world (set by the test) ----
  // Classes that FindClass finds; a missing one throws NoClassDefFoundError.
  std::set<std::string> classes{"java/lang/String"};
  // Classes that the boot loader entry (fakeFindClassFromBootLoader) finds.
  std::set<std::string> bootClasses;
  // Methods, as "class.name signature"; a missing one throws NoSuchMethodError
  // unless missingMethodThrows is false.
  std::set<std::string> methods{"java/lang/String.<init> ([C)V"};
  bool missingMethodThrows = true;
  // Calls that fail and throw OutOfMemoryError (FileNotFoundException for a
  // constructor other than String's): the function's name ("NewCharArray")
  // or the recorded call ("FindClass java/lang/String",
  // "New java/io/FileOutputStream(name, false)").
  std::set<std::string> failing;
  // Static and instance methods ("class.name") that throw the named
  // exception when called. Throwable.printStackTrace(PrintWriter) writes the
  // exception's class and a line feed; StringWriter.toString gives what was
  // written to it.
  std::map<std::string, std::string> throwing;
  jint attachResult = JNI_OK;
  jint detachResult = JNI_OK;
  // JNI_CreateJavaVM (fakeCreateJavaVm): its result, and whether a refusal
  // leaves rubbish in the VM pointers.
  jint createResult = JNI_OK;
  bool rubbishOnRefusal = false;
  // JNI_GetDefaultJavaVMInitArgs (fakeDefaultInitArgs): the Java stack size.
  jint defaultJavaStackSize = 0;
  // Run inside JNI_CreateJavaVM, on its thread.
  std::function<void()> onCreate;

  // ---- what happened ----
  std::vector<std::string> calls;
  std::vector<std::string> violations;
  std::vector<RecordedOption> createdWithOptions;
  jint createdWithVersion = 0;
  jboolean createdWithIgnoreUnrecognized = JNI_TRUE;
  std::thread::id createThread;
  int defaultInitArgsVersion = 0;
  // What main received: null, or the array's elements as UTF-16.
  bool mainCalled = false;
  bool mainArgumentsNull = false;
  std::vector<std::u16string> mainArguments;
  // Local references and UTF buffers still held when the thread detached.
  int liveReferencesAtDetach = -1;
  int utfBuffersAtDetach = -1;

  // The calls without the steps of building strings and arrays (String's
  // FindClass and constructor, char[] and String[]), reference deletions and
  // exception checks, which most tests do not care about.
  std::vector<std::string> mainCalls() const;
  int liveReferences() const;
  bool exceptionPending() const { return !pending_.empty(); }
  // The UTF-16 text of a String reference made by the fake.
  std::u16string stringValue(jobject string) const;

  // ---- used by the fake's entry points ----
  struct Object {
    enum Kind { Class, String, CharArray, ObjectArray, Throwable, Instance } kind;
    std::string name;                        // class name (Class, Throwable, Instance)
    std::u16string chars;                    // String, CharArray
    std::vector<std::optional<std::u16string>> elements;  // ObjectArray of String: values or null
    bool deleted = false;
    Object* target = nullptr;  // an Instance of java/io/PrintWriter: its StringWriter
  };
  struct Method {
    std::string className;
    std::string name;
    std::string signature;
  };
  static FakeJni& active();
  bool enter(const std::string& call, bool exceptionSafe = false);
  bool fails(const std::string& call) const;
  void raise(const std::string& exceptionClass) { pending_ = exceptionClass; }
  void clearPending() { pending_.clear(); }
  const std::string& pending() const { return pending_; }
  jobject make(Object object);
  Object* use(jobject reference, const char* call);
  jmethodID method(const std::string& className, const std::string& name, const std::string& signature);
  const Method& methodOf(jmethodID id) const;
  bool detached = false;
  int utfBuffers = 0;

 private:
  JNIEnv env_;
  JavaVM vm_;
  JNINativeInterface_ functions_{};
  JNIInvokeInterface_ invoke_{};
  std::deque<Object> objects_;
  std::deque<Method> methods_;
  std::string pending_;
  FakeJni* previous_;
};

// Entry points as the launcher finds them in the VM library.
jint JNICALL fakeCreateJavaVm(JavaVM** vm, void** env, void* args);
jint JNICALL fakeDefaultInitArgs(void* args);
jclass JNICALL fakeFindClassFromBootLoader(JNIEnv* env, const char* name);

}  // namespace tarn::test
