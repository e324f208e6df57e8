#include "tests/power/private_bus.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

extern char** environ;

namespace vorzik::shell {
namespace {

using namespace std::chrono_literals;

// Everything allowed, nothing activated: the only services on this bus are
// the ones the test starts itself.
std::string BusConfig(const std::string& socketPath) {
  return "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
         " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
         "<busconfig>\n"
         "  <type>session</type>\n"
         "  <listen>unix:path=" +
         socketPath +
         "</listen>\n"
         "  <auth>EXTERNAL</auth>\n"
         "  <policy context=\"default\">\n"
         "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
         "    <allow eavesdrop=\"true\"/>\n"
         "    <allow own=\"*\"/>\n"
         "  </policy>\n"
         "</busconfig>\n";
}

// The inherited environment with both bus addresses replaced by ours.
std::vector<std::string> ChildEnvironment(const std::string& address) {
  std::vector<std::string> env;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    if (text.rfind("DBUS_SESSION_BUS_ADDRESS=", 0) != 0 &&
        text.rfind("DBUS_SYSTEM_BUS_ADDRESS=", 0) != 0) {
      env.push_back(text);
    }
  }
  env.push_back("DBUS_SESSION_BUS_ADDRESS=" + address);
  env.push_back("DBUS_SYSTEM_BUS_ADDRESS=" + address);
  return env;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> result;
  for (std::string& s : strings) {
    result.push_back(s.data());
  }
  result.push_back(nullptr);
  return result;
}

// Starts argv[0] with env; the child gets SIGTERM when the test dies early,
// so neither the daemon nor the mock can outlive a crashed test.
pid_t Spawn(std::vector<std::string> argv, std::vector<std::string> env, int stdoutFd,
            const std::string& stderrPath) {
  std::vector<char*> args = Pointers(argv);
  std::vector<char*> envp = Pointers(env);
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid != 0) {
    return pid;
  }
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (getppid() != parent) {
    _exit(127);
  }
  const int err = open(stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (err >= 0) {
    dup2(err, STDERR_FILENO);
  }
  if (stdoutFd >= 0) {
    dup2(stdoutFd, STDOUT_FILENO);
  }
  execve(args[0], args.data(), envp.data());
  _exit(127);
}

std::string Tail(const std::string& path) {
  std::ifstream in(path);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return text.size() > 600 ? text.substr(text.size() - 600) : text;
}

void Terminate(pid_t& pid) {
  if (pid <= 0) {
    return;
  }
  kill(pid, SIGTERM);
  for (int i = 0; i < 50; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) {
      pid = -1;
      return;
    }
    std::this_thread::sleep_for(100ms);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  pid = -1;
}

// Reads one line the daemon prints, giving up after a few seconds.
std::string ReadLine(int fd) {
  std::string line;
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  char c = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    const ssize_t n = read(fd, &c, 1);
    if (n == 1) {
      if (c == '\n') {
        return line;
      }
      line += c;
    } else if (n == 0) {
      break;
    } else {
      std::this_thread::sleep_for(20ms);
    }
  }
  return {};
}

}  // namespace

PrivateLogindBus::~PrivateLogindBus() {
  Stop();
}

bool PrivateLogindBus::Start(std::string& error) {
  const std::string pattern =
      (std::filesystem::temp_directory_path() / "vorzik-power-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) {
    error = "mkdtemp failed";
    return false;
  }
  folder_ = buffer.data();
  return StartDaemon(error) && StartMock(error);
}

bool PrivateLogindBus::StartDaemon(std::string& error) {
  const std::string config = folder_ + "/bus.conf";
  std::ofstream(config) << BusConfig(folder_ + "/bus");

  int fds[2];
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
    error = "pipe failed";
    return false;
  }
  daemonPid_ = Spawn({VORZIK_DBUS_DAEMON, "--config-file=" + config, "--nofork", "--nopidfile",
                      "--print-address=1"},
                     ChildEnvironment(""), fds[1], folder_ + "/daemon.log");
  close(fds[1]);
  if (daemonPid_ < 0) {
    close(fds[0]);
    error = std::string("cannot start ") + VORZIK_DBUS_DAEMON;
    return false;
  }
  address_ = ReadLine(fds[0]);
  close(fds[0]);
  if (address_.empty()) {
    error = "dbus-daemon printed no address: " + Tail(folder_ + "/daemon.log");
    return false;
  }
  return true;
}

bool PrivateLogindBus::StartMock(std::string& error) {
  const std::string python = VORZIK_DBUSMOCK_PYTHON;
  if (python.empty()) {
    error = "no python3 with the dbusmock module was found at configure time";
    return false;
  }
  // --session: the logind template would otherwise ask for the system bus.
  mockPid_ = Spawn(
      {python, "-m", "dbusmock", "--session", "--template", "logind", "-l", folder_ + "/calls.log"},
      ChildEnvironment(address_), -1, folder_ + "/mock.log");
  if (mockPid_ < 0) {
    error = "cannot start " + python + " -m dbusmock";
    return false;
  }
  return true;
}

std::string PrivateLogindBus::MockOutput() const {
  return Tail(folder_ + "/mock.log");
}

bool PrivateLogindBus::MockRunning() {
  if (mockPid_ <= 0) {
    return false;
  }
  if (waitpid(mockPid_, nullptr, WNOHANG) == mockPid_) {
    mockPid_ = -1;
    return false;
  }
  return true;
}

void PrivateLogindBus::Stop() {
  Terminate(mockPid_);
  Terminate(daemonPid_);
  if (!folder_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
    folder_.clear();
  }
  address_.clear();
}

}  // namespace vorzik::shell
