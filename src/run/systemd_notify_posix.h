#pragma once
// Linux: telling systemd how the service is doing, for a unit of
// Type=notify. The states ("READY=1", "STOPPING=1") go as datagrams to the
// socket systemd names in NOTIFY_SOCKET, written directly.

#include <string>

namespace tarn {

class SystemdNotifier {
 public:
  // The value of NOTIFY_SOCKET, or null: an absolute path, or with "@" first
  // a name in the abstract namespace. Any other value (or none) sends
  // nothing.
  explicit SystemdNotifier(const char* socketName);

  // True when systemd's socket took the datagram.
  bool send(const char* state) const;

 private:
  std::string name_;
};

}  // namespace tarn
