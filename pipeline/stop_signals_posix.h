// Stop signals passed on to the running tool; the signals a tool starts with.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <iterator>

namespace vorzik {

/// The stop signals: a logout, Ctrl+C, kill. While a tool runs they are
/// passed on to it, so it can remove its unfinished output; we then wait for
/// it and let the caller clean up before ending.
inline constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

/// Catches the stop signals for as long as it lives, passes them on to the
/// watched tool, and puts back what was there before. A signal the user has
/// us ignore (nohup) stays ignored. One at a time: signal handlers belong to
/// the whole process.
class StopSignalForwarding {
 public:
  StopSignalForwarding();
  ~StopSignalForwarding();
  StopSignalForwarding(const StopSignalForwarding&) = delete;
  StopSignalForwarding& operator=(const StopSignalForwarding&) = delete;

  /// Passes the stop signals on to child from now on; one that came before
  /// its pid was known is passed on at once.
  void Watch(pid_t child);
  /// The child has been reaped: its pid may be another's soon.
  void Unwatch();
  /// The stop signal that came since the forwarding began; 0 when none did.
  int Caught() const;

 private:
  struct sigaction saved_[std::size(kStopSignals)]{};
};

/// In the child between fork and exec, with only calls safe after a fork in a
/// threaded program: the tool gets default signal handling, but for the
/// signals ignored when we started, an empty mask whatever the window has
/// set, and SIGTERM when we end, killed or not, so it never outlives us.
/// False when we ended before that tie was made.
bool GiveToolItsSignals(pid_t parent);

}  // namespace vorzik
