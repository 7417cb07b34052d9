// The single-instance guard on Linux. In a folder only the user can open
// (run/instance_folder_posix.h), the first instance holds a lock on
// "<stem>.lock" with flock for its whole life, so that the kernel lets go of
// it however the process ends, and takes requests on the Unix-domain socket
// "<stem>.socket". A second start connects, sends the block of
// run/instance_block.h with its arguments, and reads one byte once the first
// instance has taken them, then the answer's four bytes (little-endian). A
// peer of another user is never talked to.
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>

#include "base/diagnosis.h"
#include "base/error_output.h"
#include "base/message_table.h"
#include "base/scoped_descriptor_posix.h"
#include "base/text.h"
#include "jni/jvm_hook_listener.h"
#include "run/instance_block.h"
#include "run/instance_folder_posix.h"
#include "run/secondary_main.h"
#include "run/single_instance.h"

namespace tarn {
namespace {

constexpr char kTaken = 'T';
// How long the first instance waits for a connected start's arguments: a
// start writes them at once, and one that does not must not hold the others
// up for long.
constexpr int kArgumentsWaitMs = 5000;
// How often a start looks again while the lock is held and the socket not
// yet there (the first instance between its lock and its listen).
constexpr int kRetryMs = 10;

int64_t nowMs() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

int remainingMs(int64_t deadline) {
  const int64_t left = deadline - nowMs();
  return left > 0 ? static_cast<int>(left) : 0;
}

bool fillAddress(const std::string& path, sockaddr_un& address) {
  address = sockaddr_un{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) return false;
  path.copy(address.sun_path, path.size());
  return true;
}

bool peerIsUser(int socket) {
  ucred peer{};
  socklen_t size = sizeof(peer);
  return getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == geteuid();
}

// extraFlags MSG_DONTWAIT: for the first instance's few bytes, which a
// peer that reads nothing must not hold up.
bool sendAll(int socket, const uint8_t* data, size_t size, int extraFlags = 0) {
  while (size > 0) {
    const ssize_t sent = send(socket, data, size, MSG_NOSIGNAL | extraFlags);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    data += sent;
    size -= static_cast<size_t>(sent);
  }
  return true;
}

enum class Received { All, Ended, TimedOut };

// Reads `size` bytes by the deadline; `wake`, when not -1, ends the wait
// early as Ended once it is readable.
Received receiveAll(int socket, uint8_t* data, size_t size, int64_t deadline, int wake = -1) {
  while (size > 0) {
    pollfd waits[2] = {{socket, POLLIN, 0}, {wake, POLLIN, 0}};
    const int ready = poll(waits, wake >= 0 ? 2 : 1, remainingMs(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return Received::Ended;
    if (ready == 0) return Received::TimedOut;
    if (wake >= 0 && waits[1].revents != 0) return Received::Ended;
    const ssize_t got = recv(socket, data, size, 0);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (got <= 0) return Received::Ended;
    data += got;
    size -= static_cast<size_t>(got);
  }
  return Received::All;
}

void put32(uint8_t* at, int32_t value) {
  const uint32_t bits = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(bits >> (8 * i));
}

int32_t get32(const uint8_t* at) {
  uint32_t bits = 0;
  for (int i = 0; i < 4; ++i) bits |= static_cast<uint32_t>(at[i]) << (8 * i);
  return static_cast<int32_t>(bits);
}

}  // namespace

struct SingleInstanceGuard::State : JvmHookListener {
  State() {
    pthread_mutex_init(&mutex, nullptr);
    pthread_cond_init(&changed, nullptr);
  }
  ~State() override {
    for (int connection : parked) close(connection);
    pthread_cond_destroy(&changed);
    pthread_mutex_destroy(&mutex);
  }

  // Answers a taken request once, whoever comes first: the thread that
  // served it, the VM's exit or the guard's release.
  // Sent under the mutex: the listener closes a connection once it is no
  // longer waiting, and must not do so (and let the number be reused) while
  // another thread still writes to it.
  bool answerOnce(int connection, int32_t value) {
    pthread_mutex_lock(&mutex);
    bool found = false;
    for (size_t i = 0; i < waiting.size(); ++i) {
      if (waiting[i] != connection) continue;
      waiting.erase(waiting.begin() + static_cast<std::ptrdiff_t>(i));
      found = true;
      break;
    }
    if (found) {
      uint8_t bytes[4];
      put32(bytes, value);
      sendAll(connection, bytes, sizeof(bytes), MSG_DONTWAIT);
    }
    pthread_mutex_unlock(&mutex);
    return found;
  }

  void answerAllWaiting(int32_t value) {
    pthread_mutex_lock(&mutex);
    const std::vector<int> connections = waiting;
    pthread_mutex_unlock(&mutex);
    for (int connection : connections) answerOnce(connection, value);
  }

  // System.exit: the requests taken and not answered get its code, as a
  // second start on Windows gets the ending process's exit code.
  void onJvmExit(jint code) override { answerAllWaiting(code); }
  void onJvmAbort() override {}

  ScopedDescriptor lock{-1};
  ScopedDescriptor listening{-1};
  // The listener's wake-up: its write end is closed to end it.
  ScopedDescriptor wakeRead{-1};
  ScopedDescriptor wakeWrite{-1};
  std::string socketPath;
  pthread_t listener{};
  bool listenerRunning = false;

  pthread_mutex_t mutex;
  pthread_cond_t changed;
  // Under the mutex.
  bool mainStarted = false;
  bool closing = false;
  JavaVM* vm = nullptr;
  std::wstring mainClass;
  bool threadsStayAttached = false;
  int32_t exitCode = -1;
  std::vector<int> waiting;  // taken, not answered yet
  // Only the listener thread, then the release.
  std::vector<int> parked;  // not answered by the thread that served them
};

namespace {

using State = SingleInstanceGuard::State;

// True once main is about to run, false when the guard is let go first.
bool awaitMainStarting(State& state, JavaVM*& vm, std::wstring& mainClass, bool& threadsStayAttached) {
  pthread_mutex_lock(&state.mutex);
  while (!state.mainStarted && !state.closing) pthread_cond_wait(&state.changed, &state.mutex);
  const bool started = state.mainStarted && !state.closing;
  vm = state.vm;
  mainClass = state.mainClass;
  threadsStayAttached = state.threadsStayAttached;
  pthread_mutex_unlock(&state.mutex);
  return started;
}

struct Requester {
  State* state;
  int connection;
};

void answerRequester(void* requester, jint value) {
  const Requester& to = *static_cast<const Requester*>(requester);
  to.state->answerOnce(to.connection, value);
}

void serveConnection(State& state, int connection) {
  if (!peerIsUser(connection)) {
    close(connection);
    return;
  }
  std::array<uint8_t, kInstanceBlockSize> block;
  if (receiveAll(connection, block.data(), block.size(), nowMs() + kArgumentsWaitMs, state.wakeRead.get()) !=
      Received::All) {
    close(connection);
    return;
  }
  pthread_mutex_lock(&state.mutex);
  state.waiting.push_back(connection);
  pthread_mutex_unlock(&state.mutex);
  const uint8_t taken = kTaken;
  sendAll(connection, &taken, 1, MSG_DONTWAIT);
  JavaVM* vm = nullptr;
  std::wstring mainClass;
  bool threadsStayAttached = false;
  if (awaitMainStarting(state, vm, mainClass, threadsStayAttached)) {
    Requester to{&state, connection};
    serveSecondaryMain(vm, mainClass, readArgumentList(block.data()), threadsStayAttached, &answerRequester, &to);
  }
  pthread_mutex_lock(&state.mutex);
  bool stillWaiting = false;
  for (int waiting : state.waiting) stillWaiting = stillWaiting || waiting == connection;
  pthread_mutex_unlock(&state.mutex);
  // Left for the VM's exit or the release to answer.
  if (stillWaiting) {
    state.parked.push_back(connection);
  } else {
    close(connection);
  }
}

// One request at a time, in the order they connect.
void* serveRequests(void* parameter) {
  State& state = *static_cast<State*>(parameter);
  for (;;) {
    pollfd waits[2] = {{state.listening.get(), POLLIN, 0}, {state.wakeRead.get(), POLLIN, 0}};
    const int ready = poll(waits, 2, -1);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0 || waits[1].revents != 0) return nullptr;
    const int connection = accept4(state.listening.get(), nullptr, nullptr, SOCK_CLOEXEC);
    if (connection >= 0) serveConnection(state, connection);
  }
}

// Called with the lock held: whatever socket an earlier first instance left
// is replaced.
bool becomeFirst(State& state) {
  sockaddr_un address;
  if (!fillAddress(state.socketPath, address)) return false;
  unlink(state.socketPath.c_str());
  state.listening.reset(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (state.listening.get() < 0) return false;
  if (bind(state.listening.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) return false;
  if (listen(state.listening.get(), SOMAXCONN) != 0) return false;
  int wake[2];
  if (pipe2(wake, O_CLOEXEC) != 0) return false;
  state.wakeRead.reset(wake[0]);
  state.wakeWrite.reset(wake[1]);
  state.listenerRunning = pthread_create(&state.listener, nullptr, &serveRequests, &state) == 0;
  return state.listenerRunning;
}

void stopListener(State& state) {
  pthread_mutex_lock(&state.mutex);
  state.closing = true;
  pthread_cond_broadcast(&state.changed);
  pthread_mutex_unlock(&state.mutex);
  state.wakeWrite.close();
  if (state.listenerRunning) pthread_join(state.listener, nullptr);
  state.listenerRunning = false;
}

enum class Answer { Given, EndedAfterTaking, EndedBeforeTaking, TurnTimedOut, AnswerTimedOut, Refused };

// Sends the block to the first instance on `path` and waits for it to be
// taken (by turnDeadline) and answered (within the wait after that).
Answer askFirstInstance(const std::string& path, const uint8_t* block, int64_t turnDeadline, int32_t& value) {
  sockaddr_un address;
  if (!fillAddress(path, address)) return Answer::Refused;
  ScopedDescriptor connection(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (connection.get() < 0) return Answer::Refused;
  // A full queue of connections makes connect wait, up to the send timeout.
  const int left = remainingMs(turnDeadline);
  timeval limit{left / 1000, (left % 1000) * 1000};
  setsockopt(connection.get(), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof(limit));
  if (connect(connection.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    return errno == EAGAIN || errno == EINPROGRESS ? Answer::TurnTimedOut : Answer::EndedBeforeTaking;
  }
  if (!peerIsUser(connection.get())) return Answer::Refused;
  if (!sendAll(connection.get(), block, kInstanceBlockSize)) return Answer::EndedBeforeTaking;
  uint8_t taken = 0;
  switch (receiveAll(connection.get(), &taken, 1, turnDeadline)) {
    case Received::All: break;
    case Received::Ended: return Answer::EndedBeforeTaking;
    case Received::TimedOut: return Answer::TurnTimedOut;
  }
  if (diagnosing()) diagnose("single instance: the running copy took the arguments; waiting for its answer");
  uint8_t bytes[4];
  switch (receiveAll(connection.get(), bytes, sizeof(bytes), nowMs() + kInstanceWaitSeconds * 1000)) {
    case Received::All: value = get32(bytes); return Answer::Given;
    case Received::Ended: return Answer::EndedAfterTaking;
    case Received::TimedOut: return Answer::AnswerTimedOut;
  }
  return Answer::AnswerTimedOut;
}

void reportGivingUp(MessageId message, const std::wstring& executable) {
  printError(loadMessage(message), executable, static_cast<int32_t>(kInstanceWaitSeconds));
}

void sleepMs(int milliseconds) {
  timespec pause{0, static_cast<long>(milliseconds) * 1000000};
  nanosleep(&pause, nullptr);
}

}  // namespace

SingleInstanceGuard::SingleInstanceGuard() = default;

SingleInstanceGuard::~SingleInstanceGuard() {
  if (!state_) return;
  setJvmHookListener(nullptr);
  stopListener(*state_);
  int32_t exitCode = -1;
  pthread_mutex_lock(&state_->mutex);
  exitCode = state_->exitCode;
  pthread_mutex_unlock(&state_->mutex);
  state_->answerAllWaiting(exitCode);
  // Gone before the lock: a start that takes the lock next makes its own.
  unlink(state_->socketPath.c_str());
}

bool SingleInstanceGuard::admit(const std::wstring& executable, const std::vector<std::wstring>& arguments,
                                int32_t& exitCode) {
  const std::string folder = privateInstanceFolder(getenv("XDG_RUNTIME_DIR"), "/tmp");
  if (folder.empty()) {
    if (diagnosing()) diagnose("single instance: no folder of this user's own for the guard; running alone");
    return true;
  }
  const std::string stem = folder + "/" + instanceFileStem(executable);
  std::shared_ptr<State> state(new State());
  state->socketPath = stem + ".socket";
  sockaddr_un unused;
  if (!fillAddress(state->socketPath, unused)) {
    if (diagnosing()) diagnose("single instance: %s is too long for a socket; running alone", fromUtf8(state->socketPath));
    return true;
  }
  state->lock.reset(open((stem + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (state->lock.get() < 0) return true;
  if (diagnosing()) diagnose("single instance: %s", fromUtf8(stem));

  std::array<uint8_t, kInstanceBlockSize> block{};
  bool blockWritten = false;
  const int64_t turnDeadline = nowMs() + kInstanceWaitSeconds * 1000;
  for (;;) {
    if (flock(state->lock.get(), LOCK_EX | LOCK_NB) == 0) break;
    if (errno != EWOULDBLOCK && errno != EINTR) return true;
    // Another process holds the lock: the running copy, or one on its way
    // to be it or ending.
    if (!blockWritten) {
      if (!writeArgumentList(block.data(), arguments)) {
        exitCode = -1;
        return false;
      }
      blockWritten = true;
    }
    int32_t value = 0;
    switch (askFirstInstance(state->socketPath, block.data(), turnDeadline, value)) {
      case Answer::Given:
        exitCode = value;
        return false;
      case Answer::EndedAfterTaking:
        printError(loadMessage(MessageId::InstanceEndedUnanswered), executable);
        exitCode = -1;
        return false;
      case Answer::AnswerTimedOut:
        reportGivingUp(MessageId::InstanceAnswerTimedOut, executable);
        exitCode = kInstanceGaveUpExitCode;
        return false;
      case Answer::Refused:
        if (diagnosing()) diagnose("single instance: %s is not this user's; running alone", fromUtf8(state->socketPath));
        return true;
      case Answer::TurnTimedOut:
        break;
      case Answer::EndedBeforeTaking:
        // No socket yet, or it ended before it took the arguments: the lock
        // again, until the turn's wait runs out.
        if (remainingMs(turnDeadline) > 0) {
          sleepMs(kRetryMs);
          continue;
        }
        break;
    }
    reportGivingUp(MessageId::InstanceTurnTimedOut, executable);
    exitCode = kInstanceGaveUpExitCode;
    return false;
  }
  if (!becomeFirst(*state)) {
    stopListener(*state);
    return true;
  }
  setJvmHookListener(state.get());
  state_ = std::move(state);
  return true;
}

void SingleInstanceGuard::mainStarting(JavaVM* vm, const std::wstring& mainClass, bool threadsStayAttached) {
  if (!state_) return;
  pthread_mutex_lock(&state_->mutex);
  state_->vm = vm;
  state_->mainClass = mainClass;
  state_->threadsStayAttached = threadsStayAttached;
  state_->mainStarted = true;
  pthread_cond_broadcast(&state_->changed);
  pthread_mutex_unlock(&state_->mutex);
}

void SingleInstanceGuard::runEnded(int32_t exitCode) {
  if (!state_) return;
  pthread_mutex_lock(&state_->mutex);
  state_->exitCode = exitCode;
  pthread_mutex_unlock(&state_->mutex);
}

}  // namespace tarn
