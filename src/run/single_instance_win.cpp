// The single-instance guard on Windows: a file mapping named after the
// executable's path holds the block of run/instance_block.h; the first
// instance runs a listener thread that receives a registered message per
// second start and serves the requests one at a time on that thread.
#include <windows.h>

#include <array>
#include <atomic>

#include "base/diagnosis.h"
#include "base/error_output.h"
#include "base/message_table.h"
#include "base/scoped_handle_win.h"
#include "base/text.h"
#include "run/instance_block.h"
#include "run/running_copy_win.h"
#include "run/secondary_main.h"
#include "run/single_instance.h"
#include "run/user_only_objects_win.h"

namespace tarn {

struct SingleInstanceGuard::State {
  ScopedKernelHandle mapping;
  ScopedMappedView view;
  ScopedKernelHandle lock;         // one second instance at a time in the argument area
  ScopedKernelHandle mainStarted;  // set right before main
  ScopedKernelHandle closing;      // set by the guard's release: a request waiting for main ends
  ScopedKernelHandle listener;
  DWORD listenerId = 0;
  UINT requestMessage = 0;
  // Written before mainStarted is set, read after it.
  std::atomic<JavaVM*> vm{nullptr};
  std::wstring mainClass;
  bool threadsStayAttached = false;

  uint8_t* block() const { return static_cast<uint8_t*>(view.get()); }
};

namespace {

using State = SingleInstanceGuard::State;

constexpr DWORD kWaitMs = kInstanceWaitSeconds * 1000;

// Holds the request lock from a successful wait to the end of the scope.
class LockHold {
 public:
  LockHold(HANDLE lock, DWORD limitMs) {
    // An owner that ended without letting go leaves the lock abandoned: it
    // is ours then all the same.
    const DWORD result = WaitForSingleObject(lock, limitMs);
    if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) held_ = lock;
  }
  ~LockHold() {
    if (held_ != nullptr) ReleaseMutex(held_);
  }
  LockHold(const LockHold&) = delete;
  LockHold& operator=(const LockHold&) = delete;

  bool held() const { return held_ != nullptr; }

 private:
  HANDLE held_ = nullptr;
};

void reply(const State& state, DWORD requester, jint value) {
  // Sign-extended: the requester takes the low 32 bits.
  PostThreadMessageW(requester, state.requestMessage, static_cast<WPARAM>(static_cast<intptr_t>(value)), 0);
}

struct Requester {
  const State* state;
  DWORD thread;
};

void replyTo(void* requester, jint value) {
  const Requester& to = *static_cast<const Requester*>(requester);
  reply(*to.state, to.thread, value);
}

// One request, on the listener thread: taken from the block only while it
// is pending for this requester (a repeated or foreign message finds
// nothing), then served once main is about to run.
void serveRequest(const State& state, DWORD requester) {
  // A copy first, as the request is taken: the block is another process's
  // to write again once this one has answered.
  std::array<uint8_t, kInstanceBlockSize> copy;
  std::copy(state.block(), state.block() + kInstanceBlockSize, copy.begin());
  if (!takePendingRequest(state.block(), requester)) return;
  const std::vector<std::wstring> forwarded = readArgumentList(copy.data());
  // Without a started event (it could not be made) the request goes on at
  // once, and finds no VM before main.
  if (state.mainStarted) {
    const HANDLE events[] = {state.mainStarted.get(), state.closing.get()};
    if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0) return;
  }
  // Every path that does not answer leaves the second instance waiting for
  // this process's end or its own limit.
  Requester to{&state, requester};
  serveSecondaryMain(state.vm.load(), state.mainClass, forwarded, state.threadsStayAttached, &replyTo, &to);
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
    if (message.message == state->requestMessage) serveRequest(*state, static_cast<DWORD>(message.wParam));
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

// Called with the lock held. Whatever an earlier owner left in the block
// (its owner, a pending request) is cleared.
bool becomeFirst(State& state, const std::shared_ptr<State>& shared, const std::wstring& objectName,
                 UserOnlySecurity& security) {
  state.mainStarted.reset(CreateEventW(security.attributes(), TRUE, FALSE, mainStartedEventName(objectName).c_str()));
  if (state.mainStarted && GetLastError() == ERROR_ALREADY_EXISTS) {
    // Left set by an earlier first instance whose handle someone keeps,
    // or made by another user: it must not let requests through early.
    if (security.ownedByUser(state.mainStarted.get())) {
      ResetEvent(state.mainStarted.get());
    } else {
      state.mainStarted.reset();
    }
  }
  // Without the named event (its name taken by another kind of object, or
  // by another user) an unnamed one holds the requests back all the same.
  if (!state.mainStarted) state.mainStarted.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  state.closing.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!state.closing) return false;
  state.requestMessage = RegisterWindowMessageW(objectName.c_str());
  if (state.requestMessage == 0) return false;
  if (!startListener(shared)) return false;
  std::fill(state.block(), state.block() + kInstanceBlockSize, uint8_t{0});
  InstanceOwner owner;
  owner.listenerThreadId = state.listenerId;
  owner.processId = GetCurrentProcessId();
  owner.requestMessage = state.requestMessage;
  writeInstanceOwner(state.block(), owner);
  return true;
}

enum class Answer { Given, EndedAfterTaking, EndedBeforeTaking, TimedOut };

// Waits for the answer in this thread's queue, the first instance's end or
// the limit.
Answer awaitAnswer(const State& state, HANDLE firstInstance, UINT requestMessage, int32_t& value) {
  const ULONGLONG deadline = GetTickCount64() + kWaitMs;
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == requestMessage) {
        value = static_cast<int32_t>(static_cast<uint32_t>(message.wParam));
        return Answer::Given;
      }
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return Answer::TimedOut;
    const DWORD woken = MsgWaitForMultipleObjectsEx(1, &firstInstance, static_cast<DWORD>(deadline - now),
                                                    QS_POSTMESSAGE, MWMO_INPUTAVAILABLE);
    if (woken != WAIT_OBJECT_0) continue;
    // Ended: an answer posted just before counts.
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == requestMessage) {
        value = static_cast<int32_t>(static_cast<uint32_t>(message.wParam));
        return Answer::Given;
      }
    }
    // The request still pending: it ended before it saw it.
    if (takePendingRequest(state.block(), GetCurrentThreadId())) return Answer::EndedBeforeTaking;
    DWORD code = 0;
    GetExitCodeProcess(firstInstance, &code);
    value = static_cast<int32_t>(code);
    return Answer::EndedAfterTaking;
  }
}

void reportGivingUp(MessageId message, const std::wstring& executable) {
  printError(loadMessage(message), executable, static_cast<int32_t>(kInstanceWaitSeconds));
}

}  // namespace

SingleInstanceGuard::SingleInstanceGuard() = default;

SingleInstanceGuard::~SingleInstanceGuard() {
  if (!state_) return;
  if (state_->closing) SetEvent(state_->closing.get());
  if (state_->listener) stopListener(*state_);
}

bool SingleInstanceGuard::admit(const std::wstring& executable, const std::vector<std::wstring>& arguments,
                                int32_t& exitCode) {
  const std::wstring objectName = instanceObjectName(executable);
  UserOnlySecurity security;
  if (!security.valid()) return true;
  // Not make_shared: its type-info lookup brings the library's exception
  // machinery.
  std::shared_ptr<State> state(new State());
  state->lock.reset(CreateMutexW(security.attributes(), FALSE, requestLockName(objectName).c_str()));
  if (!state->lock) return true;
  if (GetLastError() == ERROR_ALREADY_EXISTS && !security.ownedByUser(state->lock.get())) {
    if (diagnosing())
      diagnose("single instance: %s belongs to another user; running alone", requestLockName(objectName));
    return true;
  }
  // Held through the set-up and, for a second instance, until its answer.
  LockHold hold(state->lock.get(), kWaitMs);
  if (!hold.held()) {
    reportGivingUp(MessageId::InstanceTurnTimedOut, executable);
    exitCode = kInstanceGaveUpExitCode;
    return false;
  }
  state->mapping.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, security.attributes(), PAGE_READWRITE, 0,
                                          static_cast<DWORD>(kInstanceBlockSize), objectName.c_str()));
  if (!state->mapping) return true;
  const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
  if (existed && !security.ownedByUser(state->mapping.get())) {
    if (diagnosing()) diagnose("single instance: %s belongs to another user; running alone", objectName);
    return true;
  }
  state->view.reset(MapViewOfFile(state->mapping.get(), FILE_MAP_WRITE, 0, 0, 0));
  if (!state->view) return true;

  if (existed) {
    // A copy of this launcher that runs, or else no first instance at all:
    // a block left by one that ended, zero-filled or written by another
    // program is taken over.
    const InstanceOwner owner = readInstanceOwner(state->block());
    ScopedKernelHandle firstInstance;
    if (ownerRecorded(owner)) firstInstance = openRunningCopy(owner.processId);
    if (firstInstance) {
      if (!writeArgumentList(state->block(), arguments)) {
        exitCode = -1;
        return false;
      }
      writePendingRequest(state->block(), GetCurrentThreadId());
      // The queue the answer comes to exists before the request is posted.
      MSG message;
      PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
      int32_t value = 0;
      Answer answer = Answer::TimedOut;
      if (PostThreadMessageW(owner.listenerThreadId, owner.requestMessage, GetCurrentThreadId(), 0)) {
        answer = awaitAnswer(*state, firstInstance.get(), owner.requestMessage, value);
      } else if (WaitForSingleObject(firstInstance.get(), kWaitMs) == WAIT_OBJECT_0) {
        // Its listener already gone: it is ending.
        answer = Answer::EndedBeforeTaking;
      }
      switch (answer) {
        case Answer::Given:
        case Answer::EndedAfterTaking:
          exitCode = value;
          return false;
        case Answer::TimedOut:
          takePendingRequest(state->block(), GetCurrentThreadId());
          reportGivingUp(MessageId::InstanceAnswerTimedOut, executable);
          exitCode = kInstanceGaveUpExitCode;
          return false;
        case Answer::EndedBeforeTaking:
          break;
      }
    }
    if (diagnosing()) diagnose("single instance: no running copy in %s; taking it over", objectName);
  }
  if (!becomeFirst(*state, state, objectName, security)) {
    if (state->listener) stopListener(*state);
    return true;
  }
  state_ = std::move(state);
  return true;
}

void SingleInstanceGuard::mainStarting(JavaVM* vm, const std::wstring& mainClass, bool threadsStayAttached) {
  if (!state_ || !state_->listener) return;
  state_->mainClass = mainClass;
  state_->threadsStayAttached = threadsStayAttached;
  state_->vm.store(vm);
  if (state_->mainStarted) SetEvent(state_->mainStarted.get());
}

// A second start learns the exit code from the process itself.
void SingleInstanceGuard::runEnded(int32_t) {}

}  // namespace tarn
