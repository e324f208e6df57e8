#pragma once

#include <sys/types.h>

#include <string>

namespace vorzik::shell {

/// A D-Bus daemon of our own, listening on a socket in a fresh temporary
/// folder, with a mock systemd-logind on it. Nothing here ever connects to
/// the machine's system or session bus: both bus variables of the children
/// point at the private socket.
class PrivateLogindBus {
 public:
  PrivateLogindBus() = default;
  ~PrivateLogindBus();
  PrivateLogindBus(const PrivateLogindBus&) = delete;
  PrivateLogindBus& operator=(const PrivateLogindBus&) = delete;

  /// Starts the daemon and the mock; on failure returns false with a reason.
  bool Start(std::string& error);
  /// Stops both children and removes the temporary folder.
  void Stop();

  /// False once the mock has exited, for instance on a start-up error.
  bool MockRunning();
  /// The end of what the mock wrote to its standard error.
  std::string MockOutput() const;

  const std::string& Address() const { return address_; }
  const std::string& Folder() const { return folder_; }

 private:
  bool StartDaemon(std::string& error);
  bool StartMock(std::string& error);

  std::string folder_;
  std::string address_;
  pid_t daemonPid_ = -1;
  pid_t mockPid_ = -1;
};

}  // namespace vorzik::shell
