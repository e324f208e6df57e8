#include <errno.h>
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <string.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <iterator>
#include <vector>

#include "pipeline/command_line.h"
#include "pipeline/stage_runner.h"

extern char** environ;

namespace vorzik {

namespace {

std::string OwnExecutableFolder() {
  std::vector<char> buffer(4096);
  ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0)
    return {};
  std::string path(buffer.data(), static_cast<std::size_t>(n));
  return path.substr(0, path.rfind('/') + 1);
}

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// A bare name is looked for beside our executable, then in the absolute
// folders of PATH. The current folder is the data folder: neither "./" nor an
// empty or relative PATH entry, which would lead there, is searched.
std::string FindProgram(const std::string& name) {
  if (name.empty())
    return {};
  if (name.find('/') != std::string::npos)
    return IsExecutableFile(name) ? name : std::string();
  std::vector<std::string> folders{OwnExecutableFolder()};
  const char* path = std::getenv("PATH");
  std::string rest = path ? path : "";
  for (std::size_t start = 0; start <= rest.size();) {
    std::size_t colon = rest.find(':', start);
    if (colon == std::string::npos)
      colon = rest.size();
    std::string dir = rest.substr(start, colon - start);
    if (!dir.empty() && dir.front() == '/')
      folders.push_back(dir + "/");
    start = colon + 1;
  }
  for (const auto& folder : folders) {
    if (folder.empty())
      continue;
    std::string candidate = folder + name;
    if (IsExecutableFile(candidate))
      return candidate;
  }
  return {};
}

// The stop signals: a logout, Ctrl+C, kill. While a tool runs they are passed
// on to it, so it can remove its unfinished output; we then wait for it and
// let the caller clean up before ending.
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

volatile sig_atomic_t stopSignal = 0;
volatile sig_atomic_t runningChild = 0;

extern "C" void PassStopSignalOn(int signal) {
  stopSignal = signal;
  pid_t child = runningChild;
  if (child > 0)
    ::kill(child, signal);
}

// Catches the stop signals for as long as a tool runs, and puts back what
// was there before.
class StopSignalForwarding {
 public:
  StopSignalForwarding() {
    stopSignal = 0;
    struct sigaction forward {};
    forward.sa_handler = PassStopSignalOn;
    sigemptyset(&forward.sa_mask);
    forward.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
      ::sigaction(kStopSignals[i], nullptr, &saved_[i]);
      // A signal the user has us ignore (nohup) stays ignored.
      if (saved_[i].sa_handler != SIG_IGN)
        ::sigaction(kStopSignals[i], &forward, nullptr);
    }
  }
  ~StopSignalForwarding() {
    runningChild = 0;
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i)
      ::sigaction(kStopSignals[i], &saved_[i], nullptr);
  }
  StopSignalForwarding(const StopSignalForwarding&) = delete;
  StopSignalForwarding& operator=(const StopSignalForwarding&) = delete;

  void Watch(pid_t child) {
    runningChild = child;
    // A signal that came before the child's pid was known is passed on now.
    if (stopSignal != 0)
      ::kill(child, stopSignal);
  }

 private:
  struct sigaction saved_[std::size(kStopSignals)]{};
};

// The signals ignored when the program started, read before main and so
// before the toolkit or a library sets any of its own. The user asked for
// them to be ignored (nohup, a script's background job), and the tools are
// part of the job: a logout must not end the tool the user shielded.
sigset_t SignalsIgnoredNow() {
  sigset_t ignored;
  sigemptyset(&ignored);
  for (int signal = 1; signal < NSIG; ++signal) {
    struct sigaction action {};
    if (::sigaction(signal, nullptr, &action) == 0 && action.sa_handler == SIG_IGN)
      sigaddset(&ignored, signal);
  }
  return ignored;
}
const sigset_t kIgnoredAtStart = SignalsIgnoredNow();

// In the child between fork and exec: only calls safe after a fork in a
// threaded program. The tool gets default signal handling, but for the signals
// ignored when we started, and an empty mask whatever the GUI has set, only
// the standard streams, and SIGTERM when we end, killed or not, so it never
// outlives us. A failed exec sends its errno down errorPipe, which a
// successful one closes.
[[noreturn]] void ExecTool(const char* program, char* const* argv, pid_t parent, int errorPipe) {
  struct sigaction standard {};
  sigemptyset(&standard.sa_mask);
  for (int signal = 1; signal < NSIG; ++signal) {
    standard.sa_handler = sigismember(&kIgnoredAtStart, signal) == 1 ? SIG_IGN : SIG_DFL;
    ::sigaction(signal, &standard, nullptr);
  }
  sigset_t none;
  sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  // A SIGTERM the tool ignores could not end it.
  ::prctl(PR_SET_PDEATHSIG, sigismember(&kIgnoredAtStart, SIGTERM) == 1 ? SIGKILL : SIGTERM);
  if (::getppid() != parent)
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
    StageOutcome outcome;
    std::vector<std::string> args = SplitCommandLine(commandLine);
    if (args.empty()) {
      outcome.error = "empty command line";
      return outcome;
    }
    std::string program = FindProgram(args.front());
    if (program.empty()) {
      outcome.error = args.front() + ": program not found";
      return outcome;
    }
    std::vector<char*> argv;
    for (auto& a : args)
      argv.push_back(a.data());
    argv.push_back(nullptr);

    StopSignalForwarding forwarding;
    // The child inherits our current folder, which the browser keeps on the
    // chosen folder, and our environment.
    int errorPipe[2];
    if (::pipe2(errorPipe, O_CLOEXEC) != 0) {
      outcome.error = args.front() + ": " + ::strerror(errno);
      return outcome;
    }
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0)
      ExecTool(program.c_str(), argv.data(), parent, errorPipe[1]);
    int forkError = errno;
    ::close(errorPipe[1]);
    if (pid < 0) {
      ::close(errorPipe[0]);
      outcome.error = args.front() + ": " + ::strerror(forkError);
      return outcome;
    }
    ChildGuard child(pid);
    forwarding.Watch(pid);
    int execError = ExecError(errorPipe[0]);
    ::close(errorPipe[0]);
    if (execError != 0) {
      outcome.error = args.front() + ": " + ::strerror(execError);
      return outcome;
    }
    outcome.started = true;
    int status = 0;
    // A busy poll: between two polls only the window's pending events run.
    // Yielding is no wait; it only lets a tool that shares our core go first.
    while (!child.Poll(status)) {
      if (pump_)
        pump_();
      sched_yield();
    }
    runningChild = 0;  // reaped: its pid may be another's soon
    outcome.stopSignal = stopSignal;
    if (status >= 0 && WIFEXITED(status)) {
      outcome.exitCode = WEXITSTATUS(status);
    } else if (status >= 0 && WIFSIGNALED(status)) {
      outcome.exitCode = 128 + WTERMSIG(status);
      outcome.crashed = true;
      outcome.error = "killed by signal " + std::to_string(WTERMSIG(status)) + ", " +
                      ::strsignal(WTERMSIG(status));
    }
    return outcome;
  }

 private:
  EventPump pump_;
};

}  // namespace

std::unique_ptr<StageRunner> MakeNativeStageRunner(EventPump pump) {
  return std::make_unique<PosixStageRunner>(std::move(pump));
}

void EndAfterStop(int signal) {
  ::signal(signal, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  ::sigprocmask(SIG_UNBLOCK, &only, nullptr);
  ::raise(signal);
  ::_exit(128 + signal);
}

}  // namespace vorzik
