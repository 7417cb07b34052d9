#include "run/systemd_notify_posix.h"

#include <sys/socket.h>
#include <sys/un.h>

#include <cstddef>
#include <cstring>

#include "base/scoped_descriptor_posix.h"

namespace tarn {

SystemdNotifier::SystemdNotifier(const char* socketName) {
  if (socketName != nullptr && (socketName[0] == '/' || (socketName[0] == '@' && socketName[1] != '\0'))) {
    name_ = socketName;
  }
}

bool SystemdNotifier::send(const char* state) const {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (name_.empty() || name_.size() > sizeof(address.sun_path)) return false;
  name_.copy(address.sun_path, name_.size());
  // An abstract name starts with a NUL and has exactly its own length.
  socklen_t size = sizeof(address);
  if (name_[0] == '@') {
    address.sun_path[0] = '\0';
    size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + name_.size());
  } else if (name_.size() == sizeof(address.sun_path)) {
    return false;
  }
  ScopedDescriptor socket(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  if (socket.get() < 0) return false;
  const size_t length = strlen(state);
  const ssize_t sent = sendto(socket.get(), state, length, MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&address), size);
  return sent == static_cast<ssize_t>(length);
}

}  // namespace tarn
