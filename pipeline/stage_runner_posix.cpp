#include <errno.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
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

// A bare name is looked for beside our executable, then in the current folder,
// then on PATH, the order in which the platform we stand in for searches.
std::string FindProgram(const std::string& name) {
  if (name.empty())
    return {};
  if (name.find('/') != std::string::npos)
    return IsExecutableFile(name) ? name : std::string();
  std::vector<std::string> folders{OwnExecutableFolder(), "./"};
  const char* path = std::getenv("PATH");
  std::string rest = path ? path : "";
  for (std::size_t start = 0; start <= rest.size();) {
    std::size_t colon = rest.find(':', start);
    if (colon == std::string::npos)
      colon = rest.size();
    std::string dir = rest.substr(start, colon - start);
    folders.push_back(dir.empty() ? "./" : dir + "/");
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

// Owns the spawn attributes for one start: default signal handling and an
// empty mask in the child, whatever the GUI process has set for itself.
class SpawnSetup {
 public:
  SpawnSetup() {
    posix_spawnattr_init(&attr_);
    posix_spawn_file_actions_init(&actions_);
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attr_, &all);
    posix_spawnattr_setsigmask(&attr_, &none);
    posix_spawnattr_setflags(&attr_, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    // Only the standard streams reach the tool.
    posix_spawn_file_actions_addclosefrom_np(&actions_, 3);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attr_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  const posix_spawnattr_t* attr() const { return &attr_; }
  const posix_spawn_file_actions_t* actions() const { return &actions_; }

 private:
  posix_spawnattr_t attr_;
  posix_spawn_file_actions_t actions_;
};

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

    SpawnSetup setup;
    pid_t pid = -1;
    // The child inherits our current folder, which the browser keeps on the
    // chosen folder, and our environment.
    int rc =
        ::posix_spawn(&pid, program.c_str(), setup.actions(), setup.attr(), argv.data(), environ);
    if (rc != 0) {
      outcome.error = args.front() + ": " + ::strerror(rc);
      return outcome;
    }
    outcome.started = true;
    ChildGuard child(pid);
    int status = 0;
    // A busy poll: between two polls only the window's pending events run.
    // Yielding is no wait; it only lets a tool that shares our core go first.
    while (!child.Poll(status)) {
      if (pump_)
        pump_();
      sched_yield();
    }
    if (status >= 0 && WIFEXITED(status)) {
      outcome.exitCode = WEXITSTATUS(status);
    } else if (status >= 0 && WIFSIGNALED(status)) {
      outcome.exitCode = 128 + WTERMSIG(status);
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

}  // namespace vorzik
