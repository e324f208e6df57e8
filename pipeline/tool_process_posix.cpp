// A tool's process: forked and executed with no shell between, always reaped.
#include "pipeline/tool_process_posix.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "pipeline/stop_signals_posix.h"

extern char** environ;

namespace vorzik {

namespace {

// In the child between fork and exec: only calls safe after a fork in a
// threaded program. The tool gets its signals as at our start, only the
// standard streams, and an end when we end. A failed exec sends its errno
// down errorPipe, which a successful one closes.
[[noreturn]] void ExecTool(const char* program, char* const* argv, pid_t parent, int errorPipe) {
  if (!GiveToolItsSignals(parent))
    ::_exit(127);  // we ended before the tie was made
  ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
  ::execve(program, argv, environ);
  int error = errno;
  [[maybe_unused]] ssize_t ignored = ::write(errorPipe, &error, sizeof error);
  ::_exit(127);
}

// The errno of a failed exec, 0 once the exec succeeded.
int ExecError(int errorPipe) {
  int error = 0;
  ssize_t n;
  while ((n = ::read(errorPipe, &error, sizeof error)) < 0 && errno == EINTR) {
  }
  return n == sizeof error ? error : 0;
}

}  // namespace

ToolProcess::ToolProcess(const std::string& program, std::vector<std::string> args,
                         StopSignalForwarding& forwarding) {
  std::vector<char*> argv;
  for (auto& a : args)
    argv.push_back(a.data());
  argv.push_back(nullptr);
  int errorPipe[2];
  if (::pipe2(errorPipe, O_CLOEXEC) != 0) {
    startError_ = errno;
    return;
  }
  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid == 0)
    ExecTool(program.c_str(), argv.data(), parent, errorPipe[1]);
  int forkError = errno;
  ::close(errorPipe[1]);
  if (pid < 0) {
    ::close(errorPipe[0]);
    startError_ = forkError;
    return;
  }
  pid_ = pid;
  forwarding.Watch(pid);
  startError_ = ExecError(errorPipe[0]);
  ::close(errorPipe[0]);
}

ToolProcess::~ToolProcess() {
  if (pid_ > 0) {
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
  }
}

bool ToolProcess::Poll(int& status) {
  pid_t r = ::waitpid(pid_, &status, WNOHANG);
  if (r == 0 || (r < 0 && errno == EINTR))
    return false;
  pid_ = -1;  // reaped (or not ours any more)
  if (r < 0)
    status = -1;
  return true;
}

}  // namespace vorzik
