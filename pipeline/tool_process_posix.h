// A tool's process: forked and executed with no shell between, always reaped.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace vorzik {

class StopSignalForwarding;

/// One run of a tool's program, started on construction: forked and executed
/// with no shell between, in our current folder (which the browser keeps on
/// the chosen folder), with our environment and only the standard streams.
/// The forwarding watches it from its fork. It is reaped on every way out,
/// also when the caller's pump throws.
class ToolProcess {
 public:
  /// program is where the program was found; args[0] names it as the command
  /// line did.
  ToolProcess(const std::string& program, std::vector<std::string> args,
              StopSignalForwarding& forwarding);
  ~ToolProcess();
  ToolProcess(const ToolProcess&) = delete;
  ToolProcess& operator=(const ToolProcess&) = delete;

  /// The errno of a failed pipe, fork or exec; 0 once the tool runs.
  int StartError() const { return startError_; }
  /// Polls once; true when the process has ended, with its wait status, or
  /// -1 when that could not be read.
  bool Poll(int& status);

 private:
  pid_t pid_ = -1;
  int startError_ = 0;
};

}  // namespace vorzik
