#include <errno.h>
#include <fcntl.h>
#include <sched.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

#include "pipeline/command_line.h"
#include "pipeline/program_search_posix.h"
#include "pipeline/stage_runner.h"
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

// Reaps the child on every way out, also when the pump throws.
class ChildGuard {
 public:
  explicit ChildGuard(pid_t pid) : pid_(pid) {}
  ~ChildGuard() {
    if (pid_ > 0) {
      int status = 0;
      while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
      }
    }
  }
  ChildGuard(const ChildGuard&) = delete;
  ChildGuard& operator=(const ChildGuard&) = delete;

  // Polls once; true when the child has ended, with its status.
  bool Poll(int& status) {
    pid_t r = ::waitpid(pid_, &status, WNOHANG);
    if (r == 0 || (r < 0 && errno == EINTR))
      return false;
    pid_ = -1;  // reaped (or not ours any more)
    if (r < 0)
      status = -1;
    return true;
  }

 private:
  pid_t pid_;
};

class PosixStageRunner final : public StageRunner {
 public:
  explicit PosixStageRunner(EventPump pump) : pump_(std::move(pump)) {}

  StageOutcome RunStage(const std::string& commandLine) override {
    std::vector<std::string> args = SplitCommandLine(commandLine);
    if (args.empty())
      return {StageEnd::NotStarted, -1, "empty command line"};
    std::string program = FindProgram(args.front());
    if (program.empty())
      return {StageEnd::NotStarted, -1, args.front() + ": program not found"};
    std::vector<char*> argv;
    for (auto& a : args)
      argv.push_back(a.data());
    argv.push_back(nullptr);

    StopSignalForwarding forwarding;
    // The child inherits our current folder, which the browser keeps on the
    // chosen folder, and our environment.
    int errorPipe[2];
    if (::pipe2(errorPipe, O_CLOEXEC) != 0)
      return {StageEnd::NotStarted, -1, args.front() + ": " + ::strerror(errno)};
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0)
      ExecTool(program.c_str(), argv.data(), parent, errorPipe[1]);
    int forkError = errno;
    ::close(errorPipe[1]);
    if (pid < 0) {
      ::close(errorPipe[0]);
      return {StageEnd::NotStarted, -1, args.front() + ": " + ::strerror(forkError)};
    }
    ChildGuard child(pid);
    forwarding.Watch(pid);
    int execError = ExecError(errorPipe[0]);
    ::close(errorPipe[0]);
    if (execError != 0)
      return {StageEnd::NotStarted, -1, args.front() + ": " + ::strerror(execError)};
    int status = 0;
    // A busy poll: between two polls only the window's pending events run.
    // Yielding is no wait; it only lets a tool that shares our core go first.
    while (!child.Poll(status)) {
      if (pump_)
        pump_();
      sched_yield();
    }
    forwarding.Unwatch();  // reaped: its pid may be another's soon
    if (const int stopSignal = forwarding.Caught(); stopSignal != 0)
      return {StageEnd::Stopped, stopSignal};
    if (status >= 0 && WIFEXITED(status))
      return {StageEnd::Exited, WEXITSTATUS(status)};
    if (status >= 0 && WIFSIGNALED(status)) {
      return {StageEnd::Crashed, 128 + WTERMSIG(status),
              "killed by signal " + std::to_string(WTERMSIG(status)) + ", " +
                  ::strsignal(WTERMSIG(status))};
    }
    return {StageEnd::Exited, -1};  // the status could not be read
  }

 private:
  EventPump pump_;
};

}  // namespace

std::unique_ptr<StageRunner> MakeNativeStageRunner(EventPump pump) {
  return std::make_unique<PosixStageRunner>(std::move(pump));
}

}  // namespace vorzik
