// The single-instance guard on Windows: a file mapping named after the
// executable's path holds the block of run/instance_block.h; the first
// instance runs a listener thread that receives a registered message per
// second start and answers each from a request thread of its own.
#include <windows.h>

#include <array>
#include <atomic>

#include "base/scoped_handle_win.h"
#include "base/text.h"
#include "jvm/java_strings.h"
#include "jvm/local_ref.h"
#include "run/instance_block.h"
#include "run/single_instance.h"

namespace tarn {

struct SingleInstanceGuard::State {
  ScopedKernelHandle mapping;
  ScopedMappedView view;
  ScopedKernelHandle lock;         // one second instance at a time in the argument area
  ScopedKernelHandle mainStarted;  // set right before main
  ScopedKernelHandle closing;      // set by the guard's release: waiting request threads end
  ScopedKernelHandle listener;
  DWORD listenerId = 0;
  UINT requestMessage = 0;
  // Written before mainStarted is set, read after it.
  std::atomic<JavaVM*> vm{nullptr};
  std::wstring mainClass;
  bool stayAttached = false;

  uint8_t* block() const { return static_cast<uint8_t*>(view.get()); }
};

namespace {

using State = SingleInstanceGuard::State;

// Holds the request lock from its wait to the end of the scope. Without a
// lock (it could not be made) nothing is held.
class LockHold {
 public:
  explicit LockHold(HANDLE lock) {
    if (lock == nullptr) return;
    // An owner that ended without letting go leaves the lock abandoned: it
    // is ours then all the same.
    const DWORD result = WaitForSingleObject(lock, INFINITE);
    if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) held_ = lock;
  }
  ~LockHold() {
    if (held_ != nullptr) ReleaseMutex(held_);
  }
  LockHold(const LockHold&) = delete;
  LockHold& operator=(const LockHold&) = delete;

 private:
  HANDLE held_ = nullptr;
};

struct Request {
  std::shared_ptr<State> state;
  DWORD requester;
};

void reply(const State& state, DWORD requester, jint value) {
  // Sign-extended: the requester takes the low 32 bits.
  PostThreadMessageW(requester, state.requestMessage, static_cast<WPARAM>(static_cast<intptr_t>(value)), 0);
}

// The main class through FindClass, its name handed over in the modified
// UTF-8 that FindClass expects.
jclass findMainClass(JNIEnv* env, const std::wstring& mainClass) {
  LocalRef name(env, newJavaString(env, mainClass));
  if (!name) return nullptr;
  jstring text = static_cast<jstring>(name.get());
  const char* bytes = env->GetStringUTFChars(text, nullptr);
  if (bytes == nullptr) return nullptr;
  jclass found = env->FindClass(bytes);
  env->ReleaseStringUTFChars(text, bytes);
  return found;
}

std::vector<std::wstring> forwardedArguments(const State& state) {
  // A copy first: another process may write the block while it is read.
  std::array<uint8_t, kInstanceBlockSize> copy;
  std::copy(state.block(), state.block() + kInstanceBlockSize, copy.begin());
  std::vector<std::wstring> arguments;
  for (const std::u16string& units : readForwardedArguments(copy.data())) {
    arguments.push_back(fromUtf16(units, UnpairedSurrogates::KeepWherePossible));
  }
  return arguments;
}

// Calls secondaryMain; every path that does not reply leaves the second
// instance waiting for this process's end.
void serveAttached(const State& state, JNIEnv* env, DWORD requester) {
  jclass found = findMainClass(env, state.mainClass);
  if (found == nullptr) return;
  LocalRef mainClass(env, found);
  bool integerForm = false;
  jmethodID method = env->GetStaticMethodID(found, "secondaryMain", "([Ljava/lang/String;)V");
  if (method == nullptr) {
    if (env->ExceptionCheck()) env->ExceptionClear();
    method = env->GetStaticMethodID(found, "secondaryMain", "([Ljava/lang/String;)I");
    integerForm = true;
  }
  if (method == nullptr) return;
  LocalRef arguments(env, newJavaStringArray(env, forwardedArguments(state)));
  if (!arguments) return;
  jvalue argument;
  argument.l = arguments.get();
  if (integerForm) {
    // The result is the answer whether or not the method threw.
    const jint result = env->CallStaticIntMethodA(found, method, &argument);
    reply(state, requester, result);
  } else {
    // The void form answers first: the second instance may end before the
    // method has run.
    reply(state, requester, 0);
    env->CallStaticVoidMethodA(found, method, &argument);
  }
}

DWORD WINAPI serveRequest(void* parameter) {
  std::unique_ptr<Request> request(static_cast<Request*>(parameter));
  const State& state = *request->state;
  // Until main is about to run. Without a started event (it could not be
  // made) the request goes on at once, and finds no VM before main.
  if (state.mainStarted) {
    const HANDLE events[] = {state.mainStarted.get(), state.closing.get()};
    if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0) return 0;
  }
  JavaVM* vm = state.vm.load();
  if (vm == nullptr) return 0;
  JNIEnv* env = nullptr;
  if (vm->AttachCurrentThread(reinterpret_cast<void**>(&env), nullptr) != JNI_OK) return 0;
  serveAttached(state, env, request->requester);
  if (env->ExceptionCheck()) env->ExceptionDescribe();
  if (!state.stayAttached) vm->DetachCurrentThread();
  return 0;
}

struct ListenerStart {
  std::shared_ptr<State> state;
  HANDLE ready;
};

DWORD WINAPI listen(void* parameter) {
  std::shared_ptr<State> state;
  {
    std::unique_ptr<ListenerStart> start(static_cast<ListenerStart*>(parameter));
    state = start->state;
    // The thread's message queue exists from here on: a request posted once
    // the block names this thread is not lost.
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    SetEvent(start->ready);
  }
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message != state->requestMessage) continue;
    auto* request = new Request{state, static_cast<DWORD>(message.wParam)};
    HANDLE thread = CreateThread(nullptr, 0, serveRequest, request, 0, nullptr);
    if (thread == nullptr) {
      delete request;
    } else {
      CloseHandle(thread);
    }
  }
  return 0;
}

bool startListener(const std::shared_ptr<State>& state) {
  ScopedKernelHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!ready) return false;
  auto* start = new ListenerStart{state, ready.get()};
  DWORD id = 0;
  state->listener.reset(CreateThread(nullptr, 0, listen, start, 0, &id));
  if (!state->listener) {
    delete start;
    return false;
  }
  const HANDLE waits[] = {ready.get(), state->listener.get()};
  if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) return false;
  state->listenerId = id;
  return true;
}

void stopListener(State& state) {
  // The thread ends at WM_QUIT; a post that does not arrive is repeated.
  while (WaitForSingleObject(state.listener.get(), 0) == WAIT_TIMEOUT) {
    PostThreadMessageW(state.listenerId, WM_QUIT, 0, 0);
    WaitForSingleObject(state.listener.get(), 100);
  }
}

bool becomeFirst(const std::shared_ptr<State>& state, const std::wstring& objectName) {
  state->mainStarted.reset(CreateEventW(nullptr, TRUE, FALSE, mainStartedEventName(objectName).c_str()));
  // Without the named event (its name taken by another kind of object) an
  // unnamed one holds the requests back all the same.
  if (!state->mainStarted) state->mainStarted.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  state->closing.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!state->closing) return false;
  state->requestMessage = RegisterWindowMessageW(objectName.c_str());
  if (state->requestMessage == 0) return false;
  if (!startListener(state)) return false;
  InstanceOwner owner;
  owner.listenerThreadId = state->listenerId;
  owner.processId = GetCurrentProcessId();
  owner.requestMessage = state->requestMessage;
  writeInstanceOwner(state->block(), owner);
  return true;
}

// Waits for the answer in this thread's queue or the first instance's end.
int32_t awaitAnswer(HANDLE firstInstance, UINT requestMessage) {
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == requestMessage) return static_cast<int32_t>(static_cast<uint32_t>(message.wParam));
    }
    const DWORD woken = MsgWaitForMultipleObjectsEx(1, &firstInstance, 100, QS_POSTMESSAGE, MWMO_INPUTAVAILABLE);
    if (woken != WAIT_OBJECT_0) continue;
    // Ended: an answer posted just before counts.
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == requestMessage) return static_cast<int32_t>(static_cast<uint32_t>(message.wParam));
    }
    DWORD code = 0;
    GetExitCodeProcess(firstInstance, &code);
    return static_cast<int32_t>(code);
  }
}

}  // namespace

SingleInstanceGuard::SingleInstanceGuard() = default;

SingleInstanceGuard::~SingleInstanceGuard() {
  if (!state_) return;
  if (state_->closing) SetEvent(state_->closing.get());
  if (state_->listener) stopListener(*state_);
}

InstanceRole SingleInstanceGuard::setUp(const std::wstring& objectName) {
  // Not make_shared: its type-info lookup brings the library's exception machinery.
  std::shared_ptr<State> state(new State());
  // Held through the set-up: a second instance finds the block filled in.
  state->lock.reset(CreateMutexW(nullptr, FALSE, requestLockName(objectName).c_str()));
  LockHold hold(state->lock.get());
  state->mapping.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                          static_cast<DWORD>(kInstanceBlockSize), objectName.c_str()));
  if (!state->mapping) return InstanceRole::Alone;
  const bool first = GetLastError() == ERROR_SUCCESS;
  state->view.reset(MapViewOfFile(state->mapping.get(), FILE_MAP_WRITE, 0, 0, 0));
  if (!state->view) return InstanceRole::Alone;
  if (first) {
    if (!becomeFirst(state, objectName)) {
      if (state->listener) stopListener(*state);
      return InstanceRole::Alone;
    }
    state_ = std::move(state);
    return InstanceRole::First;
  }
  state_ = std::move(state);
  return InstanceRole::Second;
}

int32_t SingleInstanceGuard::handOver(const std::vector<std::wstring>& arguments) {
  State& state = *state_;
  std::vector<std::u16string> units;
  for (const std::wstring& argument : arguments) units.push_back(toUtf16(argument));
  // Until the answer or the first instance's end: no other second instance
  // writes the argument area before this one's request has read it.
  LockHold hold(state.lock.get());
  if (!writeForwardedArguments(state.block(), units)) return -1;
  const InstanceOwner owner = readInstanceOwner(state.block());
  // The queue the answer comes to exists before the request is posted.
  MSG message;
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
  if (!PostThreadMessageW(owner.listenerThreadId, owner.requestMessage, GetCurrentThreadId(), 0)) return -1;
  ScopedKernelHandle firstInstance(
      OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, owner.processId));
  if (!firstInstance) return 0;
  return awaitAnswer(firstInstance.get(), owner.requestMessage);
}

void SingleInstanceGuard::mainStarting(JavaVM* vm, const std::wstring& mainClass, bool stayAttached) {
  if (!state_ || !state_->listener) return;
  state_->mainClass = mainClass;
  state_->stayAttached = stayAttached;
  state_->vm.store(vm);
  if (state_->mainStarted) SetEvent(state_->mainStarted.get());
}

}  // namespace tarn
