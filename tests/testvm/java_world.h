#pragma once
// The test VM's Java world: objects, local references, classes with their
// methods, threads and the two standard streams. Everything here is guarded
// by one recursive lock (VmLock); every JNI entry point holds it.

#define _JNI_IMPLEMENTATION_
#include <windows.h>
#include <jni.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "scenario.h"

namespace tarn::testvm {

enum class Kind {
  Class, String, CharArray, ObjectArray, FileStream, PrintStream, Throwable, StringWriter, PrintWriter,
  JarPart  // a java.util.jar JarFile, Manifest or Attributes (name: its class; path: the JAR)
};

struct Method;

struct Object {
  Kind kind;
  std::string name;             // Class: its name; Throwable: its class (slash form)
  std::u16string text;          // String, CharArray, StringWriter; Throwable: its message
  std::vector<Object*> elements;  // ObjectArray
  Object* elementClass = nullptr;  // ObjectArray
  std::wstring path;            // FileStream, PrintStream: the file
  HANDLE file = INVALID_HANDLE_VALUE;  // FileStream
  Object* target = nullptr;     // PrintStream, PrintWriter: the stream or writer it writes to
  std::vector<std::string> trace;  // Throwable: the lines after the first
  std::vector<Method*> methods;  // Class
  bool hasMessage = false;      // Throwable
};

enum class Behaviour {
  StringInit,
  FileStreamInit,
  PrintStreamInit,
  StringWriterInit,
  PrintWriterInit,
  StringWriterToString,
  PrintStackTrace,
  SetOut,
  SetErr,
  SystemExit,
  CheckAndLoadMain,
  JarFileInit,
  JarFileGetManifest,
  JarFileClose,
  ManifestMainAttributes,
  AttributesGetValue,
  ThrowableToString,
  Scripted
};

struct Method {
  Object* owner;
  std::string name;
  std::string signature;
  bool isStatic;
  Behaviour behaviour;
  std::vector<Action> actions;
};

// A local reference: distinct for every time an object is handed out.
struct Ref {
  Object* target;
  bool deleted;
};

struct ThreadState;

// What a JNIEnv pointer points at: the function table pointer first, as JNI
// requires, then the thread it belongs to.
struct EnvBlock {
  JNIEnv env;
  ThreadState* thread;
};

struct ThreadState {
  EnvBlock block;
  DWORD id = 0;
  HANDLE handle = nullptr;
  std::string name;
  bool attached = true;
  Object* pending = nullptr;  // the pending exception
  const Action* job = nullptr;  // a thread the VM started: what it does
};

class VmLock {
 public:
  VmLock();
  ~VmLock();
  VmLock(const VmLock&) = delete;
  VmLock& operator=(const VmLock&) = delete;
};

void initializeVmLock();
// Waits for the handle with the lock released (the caller holds it once).
void waitUnlocked(HANDLE handle);
// Waits for either handle, likewise.
void waitEitherUnlocked(HANDLE first, HANDLE second);
// Waits until the file exists, with the lock released (held once), logging
// "<who> waits for <path>" and "<who> saw <path>".
void waitForFileUnlocked(const std::string& who, const std::string& path);
// Creates the file; false when it exists already or cannot be made.
bool createdNewFile(const std::string& path);

// --- references and objects ----------------------------------------------

Object* newObject(Kind kind);
jobject newRef(Object* object);  // null for a null object
// The object behind a reference; null for null. A reference the VM never
// handed out, or one already deleted, ends the process (kMisuse).
Object* resolve(jobject ref, const char* function);
Object* resolveKind(jobject ref, Kind kind, const char* function, const char* what);
void deleteRef(jobject ref, const char* function);
Method* resolveMethod(jmethodID id, const char* function);

// --- classes -----------------------------------------------------------------

// A class by name as FindClass sees it (built-in, LauncherHelper when the
// scenario has it, application classes); null when there is none.
Object* findClass(const std::string& name);
// A class the boot loader knows: the built-in ones and LauncherHelper.
Object* findBootClass(const std::string& name);
Method* findMethod(Object* owner, const std::string& name, const std::string& signature, bool isStatic);

// --- threads -----------------------------------------------------------------

ThreadState* currentThread();  // null when the calling thread is not attached
ThreadState* attachThread(const std::string& name);
std::vector<ThreadState*> attachedThreads();
std::string nextThreadName();
// The thread state behind an env; ends the process when it is used on
// another thread or after its thread detached.
ThreadState& threadOf(JNIEnv* env, const char* function);

// --- exceptions and streams ---------------------------------------------

void throwNew(ThreadState& thread, const std::string& className, const std::u16string& message, bool hasMessage,
              std::vector<std::string> trace = {});
// The lines printStackTrace prints for a throwable, without line ends.
std::vector<std::u16string> stackTraceLines(Object* throwable);
// Prints a throwable as printStackTrace does, to the Java standard error.
void printStackTrace(Object* throwable);
// println on System.out (error false) or System.err (error true).
void javaPrintln(bool error, const std::u16string& text);
void writeProcessStream(DWORD which, const std::string& bytes);
// The kernel handles open in the process.
int openHandleCount();

// --- render for the log --------------------------------------------------

std::string describe(Object* object);
std::string dotted(const std::string& slashName);

// --- VM-wide state -------------------------------------------------------

struct VmState {
  bool created = false;
  JavaVM vm{};
  void(JNICALL* exitHook)(jint) = nullptr;
  void(JNICALL* abortHook)() = nullptr;
  std::string mainModule;  // of -Djdk.module.main: the module resolved first
  Object* out = nullptr;  // System.out: a PrintStream, or null for the console
  Object* err = nullptr;  // System.err
  // Set when DestroyJavaVM begins; the threads a scenario starts wait for it.
  HANDLE destroyBegun = nullptr;
  // Set by every DetachCurrentThread; DestroyJavaVM resets it (with the
  // lock held) before it looks for threads to wait for.
  HANDLE threadDetached = nullptr;
};

VmState& vmState();

// System.exit: the exit hook, then the end of the process.
[[noreturn]] void systemExit(jint code);

// Runs a method with its arguments (already checked against its signature);
// `self` is the object an instance method is called on.
jvalue invoke(ThreadState& thread, Method* method, const std::vector<jvalue>& arguments, Object** created,
              Object* self = nullptr);

// The JNIEnv function table and the JavaVM invoke table.
const JNINativeInterface_* jniFunctions();
const JNIInvokeInterface_* invokeFunctions();

}  // namespace tarn::testvm
