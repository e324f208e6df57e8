// The Linux program's checks before the toolkit starts: the folder it was
// given, and whether a display can be reached at all (the toolkit aborts
// without one); and the end of a launcher's startup notification.

#include <X11/Xlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "shell/program_start.h"

namespace vorzik::shell {

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool XDisplayReachable() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr)
    return false;
  XCloseDisplay(display);
  return true;
}

// The compositor's socket: WAYLAND_DISPLAY (wayland-0 when unset, as the
// client library takes it), relative to the runtime folder unless absolute.
bool WaylandReachable() {
  std::string path = Environment("WAYLAND_DISPLAY");
  if (path.empty())
    path = "wayland-0";
  if (path.front() != '/') {
    const std::string runtime = Environment("XDG_RUNTIME_DIR");
    if (runtime.empty())
      return false;
    path = runtime + "/" + path;
  }
  sockaddr_un address{};
  if (path.size() >= sizeof address.sun_path)
    return false;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0)
    return false;
  const bool connected =
      connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return connected;
}

// A startup-notification message travels as 20-byte pieces of client
// messages on the root window, the first piece typed ..._BEGIN, the text
// ending in a NUL.
void BroadcastStartupMessage(Display* display, const std::string& text) {
  const Window root = DefaultRootWindow(display);
  const Window sender = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = sender;
  event.xclient.format = 8;
  event.xclient.message_type = XInternAtom(display, "_NET_STARTUP_INFO_BEGIN", False);
  const Atom more = XInternAtom(display, "_NET_STARTUP_INFO", False);
  const std::string bytes = text + '\0';
  for (std::size_t at = 0; at < bytes.size(); at += sizeof event.xclient.data.b) {
    std::memset(event.xclient.data.b, 0, sizeof event.xclient.data.b);
    bytes.copy(event.xclient.data.b, sizeof event.xclient.data.b, at);
    XSendEvent(display, root, False, PropertyChangeMask, &event);
    event.xclient.message_type = more;
  }
  XDestroyWindow(display, sender);
  XSync(display, False);
}

}  // namespace

std::string EnterStartFolder(const std::string& folder) {
  struct stat info {};
  if (stat(folder.c_str(), &info) != 0)
    return folder + ": " + std::strerror(errno);
  if (!S_ISDIR(info.st_mode))
    return folder + ": not a folder";
  if (chdir(folder.c_str()) != 0)
    return folder + ": " + std::strerror(errno);
  return {};
}

bool DisplayReachable() {
  // The toolkit's choice: QT_QPA_PLATFORM's list when set, else Wayland when
  // the session announces it, then X. A platform that needs no display
  // (offscreen, a framebuffer) is the toolkit's own business.
  std::string platforms = Environment("QT_QPA_PLATFORM");
  if (platforms.empty()) {
    const bool wayland =
        !Environment("WAYLAND_DISPLAY").empty() || Environment("XDG_SESSION_TYPE") == "wayland";
    platforms = wayland ? "wayland;xcb" : "xcb";
  }
  std::istringstream list(platforms);
  for (std::string platform; std::getline(list, platform, ';');) {
    platform = platform.substr(0, platform.find(':'));
    if (platform == "xcb") {
      if (XDisplayReachable())
        return true;
    } else if (platform.rfind("wayland", 0) == 0) {
      if (WaylandReachable())
        return true;
    } else if (!platform.empty()) {
      return true;
    }
  }
  return false;
}

void EndStartupNotification(const std::string& id) {
  if (id.empty())
    return;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr)
    return;
  std::string quoted = "\"";
  for (char c : id)
    quoted += (c == '"' || c == '\\') ? std::string{'\\', c} : std::string(1, c);
  BroadcastStartupMessage(display, "remove: ID=" + quoted + "\"");
  XCloseDisplay(display);
}

}  // namespace vorzik::shell
