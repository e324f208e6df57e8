#include "tests/shell/x_session.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <thread>

extern char** environ;

namespace vorzik::shell::testing {

namespace {

bool DisplayFree(int number) {
  struct stat info {};
  const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
  const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
  return stat(lock.c_str(), &info) != 0 && stat(socket.c_str(), &info) != 0;
}

pid_t LockOwner(int number) {
  std::ifstream lock("/tmp/.X" + std::to_string(number) + "-lock");
  long pid = -1;
  lock >> pid;
  return static_cast<pid_t>(pid);
}

pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            const std::string& workingDir, const std::string& outputDir = "") {
  std::vector<char*> args;
  for (const auto& a : argv)
    args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  std::vector<char*> envp;
  for (const auto& e : env)
    envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!workingDir.empty())
    posix_spawn_file_actions_addchdir_np(&actions, workingDir.c_str());
  const std::string out = outputDir.empty() ? "/dev/null" : outputDir + "/stdout.txt";
  const std::string err = outputDir.empty() ? "/dev/null" : outputDir + "/stderr.txt";
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data()) != 0)
    pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// The environment with some variables replaced or added; an entry without
// "=" removes the variable it names.
// A program under test never reaches the machine's system bus: a batch asks
// logind there for a sleep inhibitor. A path that leads nowhere makes the
// program run as on a machine without one.
std::vector<std::string> Environment(std::vector<std::string> extra) {
  extra.insert(extra.begin(), "DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent/vorzik-no-bus");
  auto name = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string entry = *e;
    const bool replaced = std::any_of(extra.begin(), extra.end(),
                                      [&](const std::string& x) { return name(x) == name(entry); });
    if (!replaced)
      env.push_back(entry);
  }
  std::copy_if(extra.begin(), extra.end(), std::back_inserter(env),
               [](const std::string& x) { return x.find('=') != std::string::npos; });
  return env;
}

std::string TitleOf(Display* display, Window window) {
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), 0, 4096,
                         False, utf8, &type, &format, &count, &after, &data) == Success &&
      data && type == utf8) {
    title.assign(reinterpret_cast<char*>(data), count);
  } else {
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name)
      title = name;
    if (name)
      XFree(name);
  }
  if (data)
    XFree(data);
  return title;
}

int IgnoreErrors(Display*, XErrorEvent*) {
  return 0;
}

}  // namespace

XvfbServer::XvfbServer() {
  XSetErrorHandler(IgnoreErrors);
  for (int number = 97; number < 160 && !display_; ++number) {
    if (!DisplayFree(number))
      continue;
    name_ = ":" + std::to_string(number);
    pid_ = Spawn({"Xvfb", name_, "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
                 Environment({}), "");
    if (pid_ < 0)
      return;
    // Another test may have taken the number meanwhile: the display is ours
    // only once its lock names our server.
    WaitFor(
        [this, number] {
          if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return true;
          }
          if (LockOwner(number) != pid_)
            return false;
          display_ = XOpenDisplay(name_.c_str());
          return display_ != nullptr;
        },
        std::chrono::seconds(10));
    if (!display_ && pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    if (!display_)
      pid_ = -1;
  }
}

XvfbServer::~XvfbServer() {
  if (display_)
    XCloseDisplay(display_);
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

Process::Process(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv,
                 const std::string& workingDir, const std::string& outputDir)
    : pid_(Spawn(argv, Environment(extraEnv), workingDir, outputDir)) {}

Process::~Process() {
  if (pid_ > 0 && !Ended()) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

bool Process::Ended() {
  if (reaped_ || pid_ <= 0)
    return true;
  if (waitpid(pid_, &status_, WNOHANG) == pid_)
    reaped_ = true;
  return reaped_;
}

std::optional<int> Process::WaitExit(std::chrono::milliseconds timeout) {
  if (!WaitFor([this] { return Ended(); }, timeout) || pid_ <= 0)
    return std::nullopt;
  if (!WIFEXITED(status_))
    return std::nullopt;
  return WEXITSTATUS(status_);
}

std::optional<int> Process::WaitKilled(std::chrono::milliseconds timeout) {
  if (!WaitFor([this] { return Ended(); }, timeout) || pid_ <= 0 || !WIFSIGNALED(status_))
    return std::nullopt;
  return WTERMSIG(status_);
}

bool Process::Signal(int signal) {
  return pid_ > 0 && !reaped_ && kill(pid_, signal) == 0;
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end)
      return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

std::vector<Window> StackingOrder(Display* display) {
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  std::vector<Window> result;
  if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) &&
      children) {
    result.assign(children, children + count);
  }
  if (children)
    XFree(children);
  return result;
}

std::vector<Window> WindowsTitled(Display* display, const std::string& title) {
  std::vector<Window> result;
  for (Window w : StackingOrder(display)) {
    if (TitleOf(display, w) == title)
      result.push_back(w);
  }
  return result;
}

bool IsShown(Display* display, Window window) {
  XWindowAttributes attributes{};
  return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

Window CreateTitledWindow(Display* display, const std::string& title, bool map) {
  Window window =
      XCreateSimpleWindow(display, DefaultRootWindow(display), 10, 10, 200, 100, 0, 0, 0xffffff);
  XStoreName(display, window, title.c_str());
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                  XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title.data()),
                  static_cast<int>(title.size()));
  if (map)
    XMapWindow(display, window);
  XSync(display, False);
  return window;
}

void SendDeleteWindow(Display* display, Window window) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
}

void Iconify(Display* display, Window window) {
  XUnmapWindow(display, window);
  const Atom wmState = XInternAtom(display, "WM_STATE", False);
  const long state[2] = {IconicState, None};
  XChangeProperty(display, window, wmState, wmState, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(state), 2);
  XSync(display, False);
}

}  // namespace vorzik::shell::testing
