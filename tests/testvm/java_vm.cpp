// Creating the test VM, its JavaVM invoke table, and the end of the VM.
#include "java_vm.h"

#include <cstdio>

#include "unexpected_slots.h"
#include "vm_log.h"

namespace tarn::testvm {

namespace {

// The JNI 1.1 initialisation record, which today's jni.h no longer declares.
struct Jdk11InitArgs {
  jint version;
  char** properties;
  jint checkSource;
  jint nativeStackSize;
  jint javaStackSize;
  jint minHeapSize;
  jint maxHeapSize;
  jint verifyMode;
  char* classpath;
  void* vfprintfHook;
  void* exitHook;
  void* abortHook;
  jint enableClassGC;
  jint enableVerboseGC;
  jint disableAsyncGC;
  jint verbose;
  jboolean debugging;
  jint debugPort;
};

std::string hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
  return text;
}

bool supportedVersion(jint version) {
  switch (version) {
    case JNI_VERSION_1_1:
    case JNI_VERSION_1_2:
    case JNI_VERSION_1_4:
    case JNI_VERSION_1_6:
    case JNI_VERSION_1_8:
    case 0x00090000:
    case 0x000A0000:
    case 0x00130000:
    case 0x00140000:
    case 0x00150000:
      return true;
    default:
      return false;
  }
}

void logEnvironment(const wchar_t* name) {
  std::vector<wchar_t> buffer(1024);
  for (;;) {
    // Length without the terminator when it fits, else the size needed
    // including it; 0 when unset.
    SetLastError(ERROR_SUCCESS);
    DWORD length = GetEnvironmentVariableW(name, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
      logLine("env " + escapeWide(std::wstring(name)) + " unset");
      return;
    }
    if (length < buffer.size()) {
      logLine("env " + escapeWide(std::wstring(name)) + "=" + escapeWide(std::wstring(buffer.data(), length)));
      return;
    }
    buffer.resize(length);
  }
}

// The size of the address range reserved for the calling thread's stack:
// the regions of one allocation, from its base to the first region that
// belongs to another.
size_t reservedStackSize() {
  MEMORY_BASIC_INFORMATION info{};
  VirtualQuery(&info, &info, sizeof info);
  char* base = static_cast<char*>(info.AllocationBase);
  char* end = base;
  while (VirtualQuery(end, &info, sizeof info) == sizeof info && info.AllocationBase == base) {
    end = static_cast<char*>(info.BaseAddress) + info.RegionSize;
  }
  return static_cast<size_t>(end - base);
}

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// The options a HotSpot VM would accept, roughly: the hooks, system
// properties, -X options, the usual switches and the module options in
// their "=" form.
bool knownOption(const std::string& option) {
  if (option == "abort" || option == "exit" || option == "vfprintf") return true;
  for (const char* prefix : {"-D", "-X", "-verbose", "-ea", "-da", "-esa", "-dsa", "-enableassertions",
                             "-disableassertions", "-agentlib:", "-agentpath:", "-javaagent:", "--module-path=",
                             "--upgrade-module-path=", "--add-modules=", "--limit-modules=", "--add-reads=",
                             "--add-exports=", "--add-opens=", "--patch-module="}) {
    if (startsWith(option, prefix) && option.size() > 2) return true;
  }
  return false;
}

void checkVm(JavaVM* vm, const char* function) {
  if (vm != &vmState().vm || !vmState().created) fail(kMisuse, std::string(function) + ": not the VM created here");
}

jint JNICALL destroyJavaVm(JavaVM* vm) {
  VmLock lock;
  checkVm(vm, "DestroyJavaVM");
  ThreadState* self = currentThread();
  logLine("DestroyJavaVM" + (self ? " on " + self->name : std::string()));
  // HotSpot attaches the calling thread and waits until it is the last
  // attached non-daemon thread: one that detaches is counted out and may
  // live on. A thread that ended while attached is never counted out, so a
  // real VM would wait for it for ever.
  if (self == nullptr) self = attachThread("DestroyJavaVM");
  SetEvent(vmState().destroyBegun);
  std::set<ThreadState*> announced;
  for (;;) {
    ResetEvent(vmState().threadDetached);
    ThreadState* waitFor = nullptr;
    for (ThreadState* thread : attachedThreads()) {
      if (thread == self || !thread->attached) continue;
      if (WaitForSingleObject(thread->handle, 0) == WAIT_OBJECT_0) {
        fail(kWouldHang, "thread " + thread->name +
                             " ended without DetachCurrentThread; DestroyJavaVM would wait for it for ever");
      }
      waitFor = thread;
    }
    if (waitFor == nullptr) break;
    if (announced.insert(waitFor).second) logLine("DestroyJavaVM waits for " + waitFor->name);
    waitEitherUnlocked(waitFor->handle, vmState().threadDetached);
  }
  if (scenario().destroyLogsHandles) logLine("handles " + std::to_string(openHandleCount()));
  logLine("DestroyJavaVM done");
  return JNI_OK;
}

jint JNICALL attachCurrentThread(JavaVM* vm, void** env, void* arguments) {
  VmLock lock;
  checkVm(vm, "AttachCurrentThread");
  if (env == nullptr) fail(kMisuse, "AttachCurrentThread: a null env pointer");
  ThreadState* thread = currentThread();
  // A thread that detached, or an ended one whose id the system gave to a
  // new thread, attaches anew.
  if (thread != nullptr && !thread->attached) thread = nullptr;
  if (thread != nullptr) {
    logLine("AttachCurrentThread " + thread->name + " (already attached)");
  } else {
    thread = attachThread(nextThreadName());
    std::string name;
    auto* attach = static_cast<JavaVMAttachArgs*>(arguments);
    if (attach != nullptr && attach->name != nullptr) name = " name " + escapeNarrow(attach->name);
    logLine("AttachCurrentThread " + thread->name + name);
  }
  *env = &thread->block.env;
  return JNI_OK;
}

jint JNICALL detachCurrentThread(JavaVM* vm) {
  VmLock lock;
  checkVm(vm, "DetachCurrentThread");
  ThreadState* thread = currentThread();
  if (thread == nullptr) {
    logLine("DetachCurrentThread (not attached)");
    return JNI_OK;
  }
  logLine("DetachCurrentThread " + thread->name +
          (thread->pending ? ", uncaught " + thread->pending->name : std::string()));
  if (thread->pending != nullptr) {
    // Thread.dispatchUncaughtException: the default handler prints to System.err.
    Object* uncaught = thread->pending;
    thread->pending = nullptr;
    javaPrintln(true, u"Exception in thread \"" + utf16(thread->name) + u"\" " + utf16(dotted(uncaught->name)) +
                          (uncaught->hasMessage ? u": " + uncaught->text : u""));
    for (const std::string& line : uncaught->trace) javaPrintln(true, utf16(line));
  }
  thread->attached = false;
  SetEvent(vmState().threadDetached);
  return JNI_OK;
}

jint JNICALL getEnv(JavaVM* vm, void** env, jint version) {
  VmLock lock;
  checkVm(vm, "GetEnv");
  if (env == nullptr) fail(kMisuse, "GetEnv: a null env pointer");
  ThreadState* thread = currentThread();
  jint result = JNI_OK;
  if (!supportedVersion(version)) result = JNI_EVERSION;
  else if (thread == nullptr || !thread->attached) result = JNI_EDETACHED;
  *env = result == JNI_OK ? &thread->block.env : nullptr;
  logLine("GetEnv " + hex(static_cast<uint32_t>(version)) + " -> " + std::to_string(result));
  return result;
}

JNIInvokeInterface_ makeInvokeTable() {
  JNIInvokeInterface_ table;
  fillUnexpected(table);
  table.DestroyJavaVM = destroyJavaVm;
  table.AttachCurrentThread = attachCurrentThread;
  table.DetachCurrentThread = detachCurrentThread;
  table.GetEnv = getEnv;
  return table;
}

}  // namespace

const JNIInvokeInterface_* invokeFunctions() {
  static const JNIInvokeInterface_ table = makeInvokeTable();
  return &table;
}

void onProcessAttach() {
  initializeVmLock();
  vmState();
  logLine("load " + escapeWide(ownModulePath()));
  std::vector<wchar_t> exe(32768);
  DWORD length = GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
  logLine("host " + escapeWide(std::wstring(exe.data(), length)));
}

jint defaultJavaVmInitArgs(void* arguments) {
  VmLock lock;
  auto* initArgs = static_cast<Jdk11InitArgs*>(arguments);
  if (initArgs == nullptr) fail(kMisuse, "JNI_GetDefaultJavaVMInitArgs: a null record");
  jint version = initArgs->version;
  // As HotSpot: any version other than 1.1 only gets a result code; 1.1 is
  // not supported (JNI_ERR), yet the record gets the default stack size and
  // version 1.2.
  jint result = supportedVersion(version) && version != JNI_VERSION_1_1 ? JNI_OK : JNI_ERR;
  std::string line = "GetDefaultJavaVMInitArgs version=" + hex(static_cast<uint32_t>(version));
  if (version == JNI_VERSION_1_1) {
    initArgs->version = JNI_VERSION_1_2;
    initArgs->javaStackSize = scenario().defaultStackSize;
    line += " javaStackSize=" + std::to_string(initArgs->javaStackSize);
  }
  logLine(line + " -> " + std::to_string(result));
  return result;
}

jint createJavaVm(JavaVM** vm, void** env, void* arguments) {
  VmLock lock;
  auto* initArgs = static_cast<JavaVMInitArgs*>(arguments);
  if (vm == nullptr || env == nullptr || initArgs == nullptr) fail(kMisuse, "JNI_CreateJavaVM: a null argument");
  logLine("CreateJavaVM version=" + hex(static_cast<uint32_t>(initArgs->version)) +
          " nOptions=" + std::to_string(initArgs->nOptions) +
          " ignoreUnrecognized=" + std::to_string(initArgs->ignoreUnrecognized));
  std::string unknown;
  bool hasUnknown = false;
  for (jint i = 0; i < initArgs->nOptions; ++i) {
    const JavaVMOption& option = initArgs->options[i];
    if (option.optionString == nullptr) fail(kMisuse, "JNI_CreateJavaVM: option " + std::to_string(i) + " is null");
    std::string text = option.optionString;
    std::string line = "option " + escapeNarrow(text);
    if (text == "abort" || text == "exit" || text == "vfprintf") {
      line += option.extraInfo ? " extraInfo=set" : " extraInfo=null";
    }
    logLine(line);
    if (!hasUnknown && !knownOption(text)) {
      hasUnknown = true;
      unknown = text;
    }
  }
  logLine("command line " + escapeWide(std::wstring(GetCommandLineW())));
  logEnvironment(L"TARN_JVM_PATH");
  logEnvironment(L"TARN_JVM_HOME");
  logEnvironment(L"TARN_APP_DIR");
  logEnvironment(L"Path");
  logEnvironment(L"TARN_RESTART_RECORD");
  logLine("stack reserved=" + std::to_string(reservedStackSize()));

  if (scenario().createDelayMs > 0) Sleep(static_cast<DWORD>(scenario().createDelayMs));
  if (!scenario().createWaitsFor.empty()) waitForFileUnlocked("CreateJavaVM", scenario().createWaitsFor);
  if (scenario().createCrashes) {
    logLine("CreateJavaVM crashes");
    // A VM that crashes while it starts: an access violation nobody handles.
    static int* volatile nowhere = nullptr;
    *nowhere = 1;
  }

  jint result = JNI_OK;
  if (vmState().created) {
    result = JNI_EEXIST;
  } else if (scenario().hasCreateResult) {
    result = scenario().createResult;
  } else if (!supportedVersion(initArgs->version) || initArgs->version == JNI_VERSION_1_1) {
    result = JNI_EVERSION;
  } else if (hasUnknown && scenario().rejectUnknownOptions && !initArgs->ignoreUnrecognized) {
    writeProcessStream(STD_ERROR_HANDLE, "Unrecognized option: " + unknown + "\n");
    result = scenario().rejectResult;
  }
  if (result != JNI_OK) {
    *vm = nullptr;
    *env = nullptr;
    logLine("CreateJavaVM -> " + std::to_string(result));
    return result;
  }

  VmState& state = vmState();
  for (jint i = 0; i < initArgs->nOptions; ++i) {
    const JavaVMOption& option = initArgs->options[i];
    std::string text = option.optionString;
    if (text == "exit") state.exitHook = reinterpret_cast<void(JNICALL*)(jint)>(option.extraInfo);
    if (text == "abort") state.abortHook = reinterpret_cast<void(JNICALL*)()>(option.extraInfo);
    if (startsWith(text, "-Djdk.module.main=")) state.mainModule = text.substr(18);
  }
  state.vm.functions = invokeFunctions();
  state.created = true;
  ThreadState* creator = attachThread("main");
  *vm = &state.vm;
  *env = &creator->block.env;
  logLine("CreateJavaVM -> 0");
  return JNI_OK;
}

jclass findClassFromBootLoader(JNIEnv* env, const char* name) {
  VmLock lock;
  threadOf(env, "JVM_FindClassFromBootLoader");
  if (name == nullptr) fail(kMisuse, "JVM_FindClassFromBootLoader: a null name");
  Object* found = findBootClass(name);
  logLine("JVM_FindClassFromBootLoader " + escapeNarrow(name) + (found ? "" : " -> not found"));
  return static_cast<jclass>(newRef(found));
}

}  // namespace tarn::testvm
