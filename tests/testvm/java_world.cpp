#include "java_world.h"

#include <algorithm>

#include "vm_log.h"

namespace tarn::testvm {

namespace {

CRITICAL_SECTION vmLock;

std::set<Ref*>& allRefs() {
  static std::set<Ref*> refs;
  return refs;
}

std::set<Method*>& allMethods() {
  static std::set<Method*> methods;
  return methods;
}

std::map<DWORD, ThreadState*>& threadsById() {
  static std::map<DWORD, ThreadState*> threads;
  return threads;
}

int threadCounter = 0;

Method* addMethod(Object* owner, const std::string& name, const std::string& signature, bool isStatic,
                  Behaviour behaviour) {
  Method* method = new Method{owner, name, signature, isStatic, behaviour, {}};
  owner->methods.push_back(method);
  allMethods().insert(method);
  return method;
}

Object* newClass(const std::string& name) {
  Object* object = newObject(Kind::Class);
  object->name = name;
  return object;
}

// The members of the Java platform's classes that the launcher calls;
// every real VM has them.
struct BuiltInMethod {
  const char* owner;
  const char* name;
  const char* signature;
  bool isStatic;
  Behaviour behaviour;
};

const BuiltInMethod kBuiltInMethods[] = {
    {"java/lang/String", "<init>", "([C)V", false, Behaviour::StringInit},
    {"java/lang/System", "setOut", "(Ljava/io/PrintStream;)V", true, Behaviour::SetOut},
    {"java/lang/System", "setErr", "(Ljava/io/PrintStream;)V", true, Behaviour::SetErr},
    {"java/lang/System", "exit", "(I)V", true, Behaviour::SystemExit},
    {"java/io/FileOutputStream", "<init>", "(Ljava/lang/String;Z)V", false, Behaviour::FileStreamInit},
    {"java/io/PrintStream", "<init>", "(Ljava/io/OutputStream;)V", false, Behaviour::PrintStreamInit},
    {"java/io/StringWriter", "<init>", "()V", false, Behaviour::StringWriterInit},
    {"java/io/StringWriter", "toString", "()Ljava/lang/String;", false, Behaviour::StringWriterToString},
    {"java/io/PrintWriter", "<init>", "(Ljava/io/Writer;)V", false, Behaviour::PrintWriterInit},
    {"java/lang/Throwable", "printStackTrace", "(Ljava/io/PrintWriter;)V", false, Behaviour::PrintStackTrace},
    {"sun/launcher/LauncherHelper", "checkAndLoadMain", "(ZILjava/lang/String;)Ljava/lang/Class;", true,
     Behaviour::CheckAndLoadMain},
    {"java/util/jar/JarFile", "<init>", "(Ljava/lang/String;)V", false, Behaviour::JarFileInit},
    {"java/util/jar/JarFile", "getManifest", "()Ljava/util/jar/Manifest;", false, Behaviour::JarFileGetManifest},
    {"java/util/jar/JarFile", "close", "()V", false, Behaviour::JarFileClose},
    {"java/util/jar/Manifest", "getMainAttributes", "()Ljava/util/jar/Attributes;", false,
     Behaviour::ManifestMainAttributes},
    {"java/util/jar/Attributes", "getValue", "(Ljava/lang/String;)Ljava/lang/String;", false,
     Behaviour::AttributesGetValue},
    {"java/lang/Throwable", "toString", "()Ljava/lang/String;", false, Behaviour::ThrowableToString},
};

std::map<std::string, Object*> makeBootClasses() {
  std::map<std::string, Object*> classes;
  for (const char* name : {"java/lang/Object", "java/lang/Class", "java/io/OutputStream", "java/io/Writer"}) {
    classes[name] = newClass(name);
  }
  for (const BuiltInMethod& method : kBuiltInMethods) {
    Object*& owner = classes[method.owner];
    if (owner == nullptr) owner = newClass(method.owner);
    addMethod(owner, method.name, method.signature, method.isStatic, method.behaviour);
  }
  return classes;
}

std::map<std::string, Object*>& bootClasses() {
  static std::map<std::string, Object*> classes = makeBootClasses();
  return classes;
}

std::map<std::string, Object*> makeApplicationClasses() {
  std::map<std::string, Object*> classes;
  for (const std::string& name : scenario().classes) classes[name] = newClass(name);
  for (const ScriptedMethod& declared : scenario().methods) {
    Method* method = addMethod(classes[declared.className], declared.name, declared.signature, true, Behaviour::Scripted);
    method->actions = declared.actions;
  }
  return classes;
}

std::map<std::string, Object*>& applicationClasses() {
  static std::map<std::string, Object*> classes = makeApplicationClasses();
  return classes;
}

// Case-insensitive match with * (any run) and ? (one character).
bool matches(const std::u16string& pattern, const std::u16string& text) {
  auto lower = [](char16_t c) -> char16_t { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; };
  size_t p = 0, t = 0, starP = std::u16string::npos, starT = 0;
  while (t < text.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || lower(pattern[p]) == lower(text[t]))) {
      ++p;
      ++t;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      starP = p++;
      starT = t;
    } else if (starP != std::u16string::npos) {
      p = starP + 1;
      t = ++starT;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

std::u16string systemErrorText(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND: return u"The system cannot find the file specified";
    case ERROR_PATH_NOT_FOUND: return u"The system cannot find the path specified";
    case ERROR_ACCESS_DENIED: return u"Access is denied";
    case ERROR_INVALID_NAME: return u"The filename, directory name, or volume label syntax is incorrect";
    case ERROR_SHARING_VIOLATION:
      return u"The process cannot access the file because it is being used by another process";
    default: return utf16("Windows error " + std::to_string(error));
  }
}

Object* openFileStream(ThreadState& thread, Object* name, bool append) {
  std::u16string path = name->text;
  std::string log = "new FileOutputStream " + quoted(path) + (append ? " append" : " truncate");
  for (const std::u16string& pattern : scenario().failOpen) {
    if (matches(pattern, path)) {
      logLine(log + " -> refused");
      throwNew(thread, "java/io/FileNotFoundException", path + u" (" + systemErrorText(ERROR_ACCESS_DENIED) + u")",
               true, {"\tat java.io.FileOutputStream.open0(Native Method)"});
      return nullptr;
    }
  }
  HANDLE file = CreateFileW(wide(path).c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, append ? OPEN_ALWAYS : CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    logLine(log + " -> failed, error " + std::to_string(error));
    throwNew(thread, "java/io/FileNotFoundException", path + u" (" + systemErrorText(error) + u")", true,
             {"\tat java.io.FileOutputStream.open0(Native Method)"});
    return nullptr;
  }
  logLine(log + " -> opened");
  Object* stream = newObject(Kind::FileStream);
  stream->path = wide(path);
  stream->file = file;
  return stream;
}

// The JDK's LauncherHelper.checkAndLoadMain: loads the class by its dotted
// name (mode 1), the class a JAR's manifest names (mode 2) or
// "module[/class]" (mode 3) and checks its main method; on
// failure it prints its own message and exits the VM with 1. A module must
// be the one the VM resolved first (-Djdk.module.main).
Object* checkAndLoadMain(ThreadState& thread, jint mode, const std::u16string& what) {
  std::u16string dottedName = mode == 2 ? utf16(scenario().jarManifest) : what;
  std::u16string inModule;
  if (mode == 3) {
    const size_t slash = what.find(u'/');
    const std::string module = utf8(what.substr(0, slash));
    if (module != vmState().mainModule) {
      throwNew(thread, "java/lang/InternalError", u"Module " + utf16(module) + u" not in boot Layer", true);
      return nullptr;
    }
    auto named = scenario().moduleMainClasses.find(module);
    if (slash != std::u16string::npos) {
      dottedName = what.substr(slash + 1);
    } else if (named != scenario().moduleMainClasses.end()) {
      dottedName = utf16(named->second);
    } else {
      javaPrintln(true, u"module " + utf16(module) +
                            u" does not have a ModuleMainClass attribute, use -m <module>/<main-class>");
      systemExit(1);
    }
    inModule = u" in module " + utf16(module);
  }
  std::u16string slashName = dottedName;
  std::replace(slashName.begin(), slashName.end(), u'.', u'/');
  auto found = applicationClasses().find(utf8(slashName));
  Object* mainClass = found == applicationClasses().end() ? nullptr : found->second;
  if (mainClass != nullptr && findMethod(mainClass, "main", "([Ljava/lang/String;)V", true) != nullptr) {
    return mainClass;
  }
  if (!scenario().helperExits) {
    throwNew(thread, "java/lang/ClassNotFoundException", dottedName, true);
    return nullptr;
  }
  if (mainClass == nullptr) {
    javaPrintln(true, u"Error: Could not find or load main class " + dottedName + inModule);
    if (mode != 3) javaPrintln(true, u"Caused by: java.lang.ClassNotFoundException: " + dottedName);
  } else {
    javaPrintln(true, u"Error: Main method not found in class " + dottedName +
                          u", please define the main method as:");
    javaPrintln(true, u"   public static void main(String[] args)");
    javaPrintln(true, u"or a JavaFX application class must extend javafx.application.Application");
  }
  systemExit(1);
}

Object* newJarPart(const std::string& className, const std::u16string& jarPath) {
  Object* part = newObject(Kind::JarPart);
  part->name = className;
  part->text = jarPath;
  return part;
}

DWORD WINAPI javaThreadMain(void* parameter) {
  auto* thread = static_cast<ThreadState*>(parameter);
  const Action* action = thread->job;
  // Outlives main for sure: it runs on only once the launcher is destroying
  // the VM, so DestroyJavaVM has to wait for it.
  WaitForSingleObject(vmState().destroyBegun, INFINITE);
  Sleep(static_cast<DWORD>(action->number));
  VmLock lock;
  if (!action->text.empty()) javaPrintln(false, utf16(action->text));
  logLine(thread->name + " ended");
  thread->attached = false;
  threadsById().erase(thread->id);
  return 0;
}

void startJavaThread(const Action& action) {
  ThreadState* thread = new ThreadState();
  thread->block.env.functions = jniFunctions();
  thread->block.thread = thread;
  thread->name = nextThreadName();
  thread->job = &action;
  DWORD id = 0;
  HANDLE handle = CreateThread(nullptr, 0, javaThreadMain, thread, CREATE_SUSPENDED, &id);
  if (handle == nullptr) fail(kMisuse, "cannot start a Java thread");
  thread->id = id;
  thread->handle = handle;
  threadsById()[id] = thread;
  logLine(thread->name + " started, runs " + std::to_string(action.number) + " ms");
  ResumeThread(handle);
}

// The events of `wait` and `signal` actions, by name: manual-reset, so a
// signal before the wait is not lost.
HANDLE namedEvent(const std::string& name) {
  static std::map<std::string, HANDLE> events;
  HANDLE& event = events[name];
  if (event == nullptr) event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  return event;
}

// The object argument of a built-in method: null throws
// NullPointerException (and gives null); an object of another kind is misuse.
Object* objectArgument(ThreadState& thread, jobject ref, std::initializer_list<Kind> kinds, const std::string& what) {
  Object* object = resolve(ref, "invoke");
  if (object == nullptr) {
    throwNew(thread, "java/lang/NullPointerException", u"", false);
    return nullptr;
  }
  for (Kind kind : kinds) {
    if (object->kind == kind) return object;
  }
  fail(kMisuse, what + " expected, got " + describe(object));
}

jvalue runScripted(ThreadState& thread, Method* method) {
  jvalue result{};
  for (const Action& action : method->actions) {
    switch (action.kind) {
      case Action::Kind::PrintOut: javaPrintln(false, utf16(action.text)); break;
      case Action::Kind::PrintErr: javaPrintln(true, utf16(action.text)); break;
      case Action::Kind::Thread: startJavaThread(action); break;
      case Action::Kind::Exit: systemExit(static_cast<jint>(action.number));
      case Action::Kind::Wait:
        logLine("wait " + action.text);
        waitUnlocked(namedEvent(action.text));
        logLine("wait " + action.text + " done");
        break;
      case Action::Kind::Signal:
        logLine("signal " + action.text);
        SetEvent(namedEvent(action.text));
        break;
      case Action::Kind::Handles: logLine("handles " + std::to_string(openHandleCount())); break;
      case Action::Kind::WaitFile: waitForFileUnlocked(thread.name, action.text); break;
      case Action::Kind::ExitOnce:
        if (createdNewFile(action.text)) systemExit(static_cast<jint>(action.number));
        break;
      case Action::Kind::Return: result.i = static_cast<jint>(action.number); break;
      case Action::Kind::Throw:
        throwNew(thread, action.className, utf16(action.text), !action.text.empty(),
                 {"\tat " + dotted(method->owner->name) + "." + method->name + "(Unknown Source)"});
        return result;
    }
  }
  return result;
}

}  // namespace

// The kernel handles open in the process, found by asking about each low
// handle value in turn.
int openHandleCount() {
  int count = 0;
  for (uintptr_t value = 4; value < 0x10000; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

VmLock::VmLock() { EnterCriticalSection(&vmLock); }
VmLock::~VmLock() { LeaveCriticalSection(&vmLock); }

void initializeVmLock() { InitializeCriticalSection(&vmLock); }

void waitUnlocked(HANDLE handle) {
  LeaveCriticalSection(&vmLock);
  WaitForSingleObject(handle, INFINITE);
  EnterCriticalSection(&vmLock);
}

void waitEitherUnlocked(HANDLE first, HANDLE second) {
  const HANDLE handles[] = {first, second};
  LeaveCriticalSection(&vmLock);
  WaitForMultipleObjects(2, handles, FALSE, INFINITE);
  EnterCriticalSection(&vmLock);
}

bool createdNewFile(const std::string& path) {
  HANDLE file = CreateFileW(wide(utf16(path)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

void waitForFileUnlocked(const std::string& who, const std::string& path) {
  logLine(who + " waits for " + path);
  const std::wstring name = wide(utf16(path));
  LeaveCriticalSection(&vmLock);
  while (GetFileAttributesW(name.c_str()) == INVALID_FILE_ATTRIBUTES) Sleep(10);
  EnterCriticalSection(&vmLock);
  logLine(who + " saw " + path);
}

Object* newObject(Kind kind) {
  Object* object = new Object();
  object->kind = kind;
  return object;
}

jobject newRef(Object* object) {
  if (object == nullptr) return nullptr;
  Ref* ref = new Ref{object, false};
  allRefs().insert(ref);
  return reinterpret_cast<jobject>(ref);
}

Object* resolve(jobject ref, const char* function) {
  if (ref == nullptr) return nullptr;
  Ref* found = reinterpret_cast<Ref*>(ref);
  if (allRefs().count(found) == 0) fail(kMisuse, std::string(function) + ": a reference the VM never handed out");
  if (found->deleted) fail(kMisuse, std::string(function) + ": a local reference used after DeleteLocalRef");
  return found->target;
}

Object* resolveKind(jobject ref, Kind kind, const char* function, const char* what) {
  Object* object = resolve(ref, function);
  if (object == nullptr || object->kind != kind) {
    fail(kMisuse, std::string(function) + ": " + what + " expected, got " + describe(object));
  }
  return object;
}

void deleteRef(jobject ref, const char* function) {
  if (ref == nullptr) return;
  resolve(ref, function);
  reinterpret_cast<Ref*>(ref)->deleted = true;
}

Method* resolveMethod(jmethodID id, const char* function) {
  Method* method = reinterpret_cast<Method*>(id);
  if (method == nullptr || allMethods().count(method) == 0) {
    fail(kMisuse, std::string(function) + ": not a method ID the VM handed out");
  }
  return method;
}

Object* findBootClass(const std::string& name) {
  if (name == "sun/launcher/LauncherHelper" && !scenario().launcherHelper) return nullptr;
  auto found = bootClasses().find(name);
  return found == bootClasses().end() ? nullptr : found->second;
}

Object* findClass(const std::string& name) {
  if (Object* boot = findBootClass(name)) return boot;
  auto found = applicationClasses().find(name);
  return found == applicationClasses().end() ? nullptr : found->second;
}

Method* findMethod(Object* owner, const std::string& name, const std::string& signature, bool isStatic) {
  for (Method* method : owner->methods) {
    if (method->name == name && method->signature == signature && method->isStatic == isStatic) return method;
  }
  return nullptr;
}

ThreadState* currentThread() {
  auto found = threadsById().find(GetCurrentThreadId());
  return found == threadsById().end() ? nullptr : found->second;
}

std::string nextThreadName() { return "Thread-" + std::to_string(threadCounter++); }

ThreadState* attachThread(const std::string& name) {
  ThreadState* thread = new ThreadState();
  thread->block.env.functions = jniFunctions();
  thread->block.thread = thread;
  thread->id = GetCurrentThreadId();
  thread->name = name;
  DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &thread->handle, SYNCHRONIZE, FALSE,
                  0);
  threadsById()[thread->id] = thread;
  return thread;
}

std::vector<ThreadState*> attachedThreads() {
  std::vector<ThreadState*> threads;
  for (const auto& entry : threadsById()) threads.push_back(entry.second);
  return threads;
}

ThreadState& threadOf(JNIEnv* env, const char* function) {
  if (env == nullptr) fail(kMisuse, std::string(function) + ": a null JNIEnv");
  ThreadState* thread = reinterpret_cast<EnvBlock*>(env)->thread;
  if (thread == nullptr || thread->block.thread != thread) {
    fail(kMisuse, std::string(function) + ": not a JNIEnv of this VM");
  }
  if (!thread->attached) {
    fail(kMisuse, std::string(function) + ": the JNIEnv of " + thread->name + " used after it detached");
  }
  if (thread->id != GetCurrentThreadId()) {
    fail(kMisuse, std::string(function) + ": the JNIEnv of " + thread->name + " used on another thread");
  }
  return *thread;
}

void throwNew(ThreadState& thread, const std::string& className, const std::u16string& message, bool hasMessage,
              std::vector<std::string> trace) {
  Object* throwable = newObject(Kind::Throwable);
  throwable->name = className;
  throwable->text = message;
  throwable->hasMessage = hasMessage;
  throwable->trace = std::move(trace);
  thread.pending = throwable;
  logLine("throw " + className + (hasMessage ? " " + quoted(message) : ""));
}

std::vector<std::u16string> stackTraceLines(Object* throwable) {
  std::u16string first = utf16(dotted(throwable->name));
  if (throwable->hasMessage) first += u": " + throwable->text;
  std::vector<std::u16string> lines{first};
  for (const std::string& line : throwable->trace) lines.push_back(utf16(line));
  return lines;
}

void printStackTrace(Object* throwable) {
  for (const std::u16string& line : stackTraceLines(throwable)) javaPrintln(true, line);
}

void writeProcessStream(DWORD which, const std::string& bytes) {
  DWORD written = 0;
  WriteFile(GetStdHandle(which), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void javaPrintln(bool error, const std::u16string& text) {
  Object* stream = error ? vmState().err : vmState().out;
  // println on Windows ends the line with the platform's line separator.
  std::string bytes = utf8(text) + "\r\n";
  std::string where;
  if (stream == nullptr) {
    writeProcessStream(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE, bytes);
    where = "console";
  } else {
    DWORD written = 0;
    WriteFile(stream->target->file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    where = quoted(stream->path);
  }
  logLine(std::string("print ") + (error ? "err " : "out ") + quoted(text) + " -> " + where);
}

std::string dotted(const std::string& slashName) {
  std::string name = slashName;
  std::replace(name.begin(), name.end(), '/', '.');
  return name;
}

std::string describe(Object* object) {
  if (object == nullptr) return "null";
  switch (object->kind) {
    case Kind::Class: return "class " + object->name;
    case Kind::String: return quoted(object->text);
    case Kind::CharArray: return "char[] " + quoted(object->text);
    case Kind::ObjectArray: {
      std::string text = "[";
      for (size_t i = 0; i < object->elements.size(); ++i) {
        if (i > 0) text += ", ";
        text += describe(object->elements[i]);
      }
      return text + "]";
    }
    case Kind::FileStream: return "FileOutputStream " + quoted(object->path);
    case Kind::PrintStream: return "PrintStream " + quoted(object->path);
    case Kind::Throwable: return object->name + (object->hasMessage ? " " + quoted(object->text) : "");
    case Kind::StringWriter: return "StringWriter " + quoted(object->text);
    case Kind::PrintWriter: return "PrintWriter";
    case Kind::JarPart: return object->name + " " + quoted(object->text);
  }
  return "?";
}

VmState& vmState() {
  static VmState state;
  if (state.destroyBegun == nullptr) state.destroyBegun = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (state.threadDetached == nullptr) state.threadDetached = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  return state;
}

void systemExit(jint code) {
  logLine("System.exit " + std::to_string(code));
  if (vmState().exitHook != nullptr) {
    auto hook = vmState().exitHook;
#if defined(__i386__)
    // The hook is a JNICALL (stdcall) function: it pops its argument. A hook
    // built with another convention leaves the stack off by four bytes.
    uint32_t delta = 0;
    asm volatile(
        "movl %%esp, %%esi\n\t"
        "pushl %%ebx\n\t"
        "call *%%edi\n\t"
        "movl %%esp, %%eax\n\t"
        "subl %%esi, %%eax\n\t"
        "movl %%esi, %%esp\n\t"
        : "=a"(delta)
        : "b"(code), "D"(hook)
        : "esi", "ecx", "edx", "memory", "cc");
    if (delta != 0) fail(kMisuse, "the exit hook left the stack off by " + std::to_string(static_cast<int32_t>(delta)));
#else
    hook(code);
#endif
    logLine("exit hook returned");
  }
  ExitProcess(static_cast<UINT>(code));
}

jvalue invoke(ThreadState& thread, Method* method, const std::vector<jvalue>& arguments, Object** created,
              Object* self) {
  jvalue result{};
  const char* function = "invoke";
  switch (method->behaviour) {
    case Behaviour::StringInit: {
      Object* chars = resolveKind(arguments[0].l, Kind::CharArray, "new String(char[])", "a char[]");
      for (const std::u16string& failing : scenario().failString) {
        if (failing == chars->text) {
          throwNew(thread, "java/lang/OutOfMemoryError", u"Java heap space", true);
          return result;
        }
      }
      Object* string = newObject(Kind::String);
      string->text = chars->text;
      logLine("new String " + quoted(string->text));
      *created = string;
      return result;
    }
    case Behaviour::FileStreamInit: {
      Object* name = objectArgument(thread, arguments[0].l, {Kind::String}, "new FileOutputStream: a String");
      if (name != nullptr) *created = openFileStream(thread, name, arguments[1].z != JNI_FALSE);
      return result;
    }
    case Behaviour::PrintStreamInit:
    case Behaviour::PrintWriterInit: {
      // A PrintStream over a FileOutputStream or another PrintStream; a
      // PrintWriter over a StringWriter or another PrintWriter.
      const bool printWriter = method->behaviour == Behaviour::PrintWriterInit;
      const Kind sink = printWriter ? Kind::StringWriter : Kind::FileStream;
      const Kind made = printWriter ? Kind::PrintWriter : Kind::PrintStream;
      Object* target = objectArgument(thread, arguments[0].l, {sink, made},
                                      printWriter ? "new PrintWriter: a Writer" : "new PrintStream: an OutputStream");
      if (target == nullptr) return result;
      Object* stream = newObject(made);
      stream->target = target->kind == sink ? target : target->target;
      if (!printWriter) {
        stream->path = stream->target->path;
        logLine("new PrintStream " + quoted(stream->path));
      }
      *created = stream;
      return result;
    }
    case Behaviour::StringWriterInit:
      *created = newObject(Kind::StringWriter);
      return result;
    case Behaviour::StringWriterToString: {
      Object* string = newObject(Kind::String);
      string->text = self->text;
      *created = string;
      return result;
    }
    case Behaviour::PrintStackTrace: {
      Object* writer = objectArgument(thread, arguments[0].l, {Kind::PrintWriter}, "printStackTrace: a PrintWriter");
      if (writer == nullptr) return result;
      // println ends each line with the platform's line separator.
      for (const std::u16string& line : stackTraceLines(self)) writer->target->text += line + u"\r\n";
      return result;
    }
    case Behaviour::SetOut:
    case Behaviour::SetErr: {
      Object* stream = resolve(arguments[0].l, function);
      if (stream != nullptr && stream->kind != Kind::PrintStream) {
        fail(kMisuse, "System.setOut/setErr: a PrintStream expected, got " + describe(stream));
      }
      bool error = method->behaviour == Behaviour::SetErr;
      (error ? vmState().err : vmState().out) = stream;
      logLine(std::string(error ? "System.setErr " : "System.setOut ") + describe(stream));
      return result;
    }
    case Behaviour::SystemExit: systemExit(arguments[0].i);
    case Behaviour::CheckAndLoadMain: {
      Object* name = resolve(arguments[2].l, function);
      if (name == nullptr || name->kind != Kind::String) {
        fail(kMisuse, "checkAndLoadMain: a String expected, got " + describe(name));
      }
      *created = checkAndLoadMain(thread, arguments[1].i, name->text);
      return result;
    }
    case Behaviour::JarFileInit: {
      Object* name = objectArgument(thread, arguments[0].l, {Kind::String}, "new JarFile: a String");
      if (name == nullptr) return result;
      logLine("new JarFile " + quoted(name->text));
      if (scenario().jarManifest == "damaged") {
        throwNew(thread, "java/util/zip/ZipException", u"zip END header not found", true);
        return result;
      }
      *created = newJarPart("java/util/jar/JarFile", name->text);
      return result;
    }
    case Behaviour::JarFileGetManifest:
      if (scenario().jarManifest != "no-manifest") *created = newJarPart("java/util/jar/Manifest", self->text);
      return result;
    case Behaviour::JarFileClose:
      logLine("JarFile.close " + quoted(self->text));
      return result;
    case Behaviour::ManifestMainAttributes:
      *created = newJarPart("java/util/jar/Attributes", self->text);
      return result;
    case Behaviour::AttributesGetValue: {
      Object* key = objectArgument(thread, arguments[0].l, {Kind::String}, "Attributes.getValue: a String");
      const std::string& manifest = scenario().jarManifest;
      if (key != nullptr && key->text == u"Main-Class" && manifest != "no-main-class") {
        Object* value = newObject(Kind::String);
        value->text = utf16(manifest);
        *created = value;
      }
      return result;
    }
    case Behaviour::ThrowableToString: {
      std::string dotted = self->name;
      std::replace(dotted.begin(), dotted.end(), '/', '.');
      Object* text = newObject(Kind::String);
      text->text = utf16(dotted) + (self->hasMessage ? u": " + self->text : u"");
      *created = text;
      return result;
    }
    case Behaviour::Scripted: return runScripted(thread, method);
  }
  return result;
}

}  // namespace tarn::testvm
