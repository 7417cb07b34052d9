// Linux: the restart replaces this process with a new image of its own
// executable, given the argument vector main received.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/text.h"
#include "run/restart.h"

extern char** environ;

namespace tarn {
namespace {

struct StartState {
  char** argv = nullptr;
  std::string folder;
  std::vector<std::string> environment;
};

StartState& startState() {
  static StartState state;
  return state;
}

// The VM's files (output files among them) are not meant for the new image.
void closeOnExecution() {
  DIR* descriptors = opendir("/proc/self/fd");
  if (descriptors == nullptr) return;
  const int own = dirfd(descriptors);
  while (const dirent* entry = readdir(descriptors)) {
    char* end = nullptr;
    const long fd = strtol(entry->d_name, &end, 10);
    if (end == entry->d_name || *end != '\0' || fd <= 2 || fd == own) continue;
    const int flags = fcntl(static_cast<int>(fd), F_GETFD);
    if (flags >= 0) fcntl(static_cast<int>(fd), F_SETFD, flags | FD_CLOEXEC);
  }
  closedir(descriptors);
}

}  // namespace

void keepArgumentVector(char** argv) { startState().argv = argv; }

void keepStartState() {
  StartState& state = startState();
  std::vector<char> folder(4096);
  while (getcwd(folder.data(), folder.size()) == nullptr && errno == ERANGE) folder.resize(folder.size() * 2);
  state.folder = folder.data();
  state.environment.clear();
  for (char** variable = environ; variable != nullptr && *variable != nullptr; ++variable) {
    state.environment.emplace_back(*variable);
  }
}

bool startAgain(const std::wstring&, const std::wstring& mark, int32_t& exitCode, uint32_t& error) {
  StartState& state = startState();
  exitCode = 0;
  if (state.argv == nullptr) {
    error = EINVAL;
    return false;
  }
  std::vector<char*> environment;
  for (std::string& variable : state.environment) environment.push_back(&variable[0]);
  std::string markText = toUtf8(mark);
  environment.push_back(&markText[0]);
  environment.push_back(nullptr);
  if (!state.folder.empty() && chdir(state.folder.c_str()) != 0) {
    error = static_cast<uint32_t>(errno);
    return false;
  }
  closeOnExecution();
  // The VM's threads block signals of their own; the new image starts with none blocked.
  sigset_t none;
  sigemptyset(&none);
  pthread_sigmask(SIG_SETMASK, &none, nullptr);
  fflush(nullptr);
  execve("/proc/self/exe", state.argv, environment.data());
  error = static_cast<uint32_t>(errno);
  return false;
}

void endProcess(int32_t exitCode) { _exit(exitCode); }

}  // namespace tarn
