// The single-instance test on X11: top-level windows are the root's children
// and, under a reparenting window manager, the clients of _NET_CLIENT_LIST.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <optional>
#include <vector>

#include "shell/instance_finder.h"

namespace vorzik::shell {

namespace {

constexpr char kMainWindowProperty[] = "_VORZIK_MAIN_WINDOW";

// Windows may vanish while they are being looked at; such errors are not ours.
int IgnoreErrors(Display*, XErrorEvent*) {
  return 0;
}

class ErrorGuard {
 public:
  explicit ErrorGuard(Display* display) : display_(display) {
    XSync(display_, False);
    previous_ = XSetErrorHandler(IgnoreErrors);
  }
  ~ErrorGuard() {
    XSync(display_, False);
    XSetErrorHandler(previous_);
  }

 private:
  Display* display_;
  int (*previous_)(Display*, XErrorEvent*);
};

// The 32-bit items of a window property of the given type.
std::vector<unsigned long> LongsProperty(Display* display, Window window, Atom property,
                                         Atom type) {
  Atom actualType = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<unsigned long> result;
  if (XGetWindowProperty(display, window, property, 0, 4096, False, type, &actualType, &format,
                         &count, &after, &data) == Success &&
      data && actualType == type && format == 32) {
    auto* items = reinterpret_cast<unsigned long*>(data);
    result.assign(items, items + count);
  }
  if (data)
    XFree(data);
  return result;
}

std::optional<std::string> Utf8Property(Display* display, Window window, Atom property) {
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  Atom actualType = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::optional<std::string> result;
  if (XGetWindowProperty(display, window, property, 0, 65536, False, utf8, &actualType, &format,
                         &count, &after, &data) == Success &&
      data && actualType == utf8 && format == 8) {
    result = std::string(reinterpret_cast<char*>(data), count);
  }
  if (data)
    XFree(data);
  return result;
}

class X11InstanceFinder : public InstanceFinder {
 public:
  explicit X11InstanceFinder(Display* display) : display_(display) {}
  ~X11InstanceFinder() override { XCloseDisplay(display_); }

  WindowId FindTitledWindow(const std::string& title) override {
    ErrorGuard guard(display_);
    for (Window window : TopLevelWindows()) {
      std::optional<std::string> name = Title(window);
      if (name && TitlesMatch(*name, title))
        return window;
    }
    return 0;
  }

  WindowId MainWindowOf(WindowId window) override {
    ErrorGuard guard(display_);
    auto items = LongsProperty(display_, window, Intern(kMainWindowProperty), XA_WINDOW);
    return items.empty() ? 0 : items.front();
  }

  bool IsIconic(WindowId window) override {
    ErrorGuard guard(display_);
    const Atom wmState = Intern("WM_STATE");
    auto state = LongsProperty(display_, window, wmState, wmState);
    if (!state.empty() && state.front() == IconicState)
      return true;
    const Atom hidden = Intern("_NET_WM_STATE_HIDDEN");
    for (unsigned long atom : LongsProperty(display_, window, Intern("_NET_WM_STATE"), XA_ATOM)) {
      if (atom == hidden)
        return true;
    }
    return false;
  }

  void OpenIcon(WindowId window) override {
    ErrorGuard guard(display_);
    // Mapping an iconic window is how a client asks for it to be normal again.
    XMapRaised(display_, window);
  }

  void SetForegroundWindow(WindowId window) override {
    ErrorGuard guard(display_);
    XRaiseWindow(display_, window);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = Intern("_NET_ACTIVE_WINDOW");
    event.xclient.format = 32;
    event.xclient.data.l[0] = 1;  // from an application
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, DefaultRootWindow(display_), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display_, window, &attributes) && attributes.map_state == IsViewable) {
      XSetInputFocus(display_, window, RevertToParent, CurrentTime);
    }
  }

  void SetMainWindow(WindowId applicationWindow, WindowId mainWindow) override {
    ErrorGuard guard(display_);
    const unsigned long value = mainWindow;
    XChangeProperty(display_, applicationWindow, Intern(kMainWindowProperty), XA_WINDOW, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&value), 1);
  }

 private:
  Atom Intern(const char* name) { return XInternAtom(display_, name, False); }

  std::vector<Window> TopLevelWindows() {
    const Window root = DefaultRootWindow(display_);
    std::vector<Window> windows;
    Window rootReturn = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display_, root, &rootReturn, &parent, &children, &count) && children) {
      windows.assign(children, children + count);
    }
    if (children)
      XFree(children);
    for (unsigned long client :
         LongsProperty(display_, root, Intern("_NET_CLIENT_LIST"), XA_WINDOW)) {
      windows.push_back(client);
    }
    return windows;
  }

  std::optional<std::string> Title(Window window) {
    if (auto name = Utf8Property(display_, window, Intern("_NET_WM_NAME")))
      return name;
    char* name = nullptr;
    std::optional<std::string> result;
    if (XFetchName(display_, window, &name) && name)
      result = std::string(name);
    if (name)
      XFree(name);
    return result;
  }

  Display* display_;
};

// Without a display no other instance can be seen.
class NoDisplayFinder : public InstanceFinder {
 public:
  WindowId FindTitledWindow(const std::string&) override { return 0; }
  WindowId MainWindowOf(WindowId) override { return 0; }
  bool IsIconic(WindowId) override { return false; }
  void OpenIcon(WindowId) override {}
  void SetForegroundWindow(WindowId) override {}
  void SetMainWindow(WindowId, WindowId) override {}
};

}  // namespace

std::unique_ptr<InstanceFinder> MakeInstanceFinder() {
  if (Display* display = XOpenDisplay(nullptr)) {
    return std::make_unique<X11InstanceFinder>(display);
  }
  return std::make_unique<NoDisplayFinder>();
}

}  // namespace vorzik::shell
