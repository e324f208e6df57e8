#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vorzik::shell::testing {

/// A private Xvfb on a free display number, ended with the object.
class XvfbServer {
 public:
  XvfbServer();
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  bool Running() const { return display_ != nullptr; }
  const std::string& Name() const { return name_; }  // ":97"
  Display* Connection() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string name_;
  Display* display_ = nullptr;
};

/// A started program; killed with the object unless it has ended.
class Process {
 public:
  /// `extraEnv` replaces or adds "NAME=value" entries; a bare "NAME" removes it.
  /// With `outputDir`, standard output and error go to stdout.txt and
  /// stderr.txt there; without, nowhere.
  Process(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv,
          const std::string& workingDir, const std::string& outputDir = "");
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  /// The exit code once the program ended within the time; empty otherwise
  /// (also when it died by a signal).
  std::optional<int> WaitExit(std::chrono::milliseconds timeout);
  /// The signal that ended the program within the time; empty otherwise.
  std::optional<int> WaitKilled(std::chrono::milliseconds timeout);
  bool Ended();
  /// Sends a signal to the program.
  bool Signal(int signal);

 private:
  pid_t pid_ = -1;
  bool reaped_ = false;
  int status_ = 0;
};

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

/// Top-level windows (root children) whose _NET_WM_NAME or WM_NAME is `title` exactly.
std::vector<Window> WindowsTitled(Display* display, const std::string& title);
bool IsShown(Display* display, Window window);

/// A foreign top-level window with the given title, set as _NET_WM_NAME and WM_NAME.
Window CreateTitledWindow(Display* display, const std::string& title, bool map);

/// Asks a window to close, as the title bar's close button does.
void SendDeleteWindow(Display* display, Window window);

/// Iconifies a window as a window manager would: unmaps it and marks it iconic.
void Iconify(Display* display, Window window);

/// The root's children in stacking order, bottom first.
std::vector<Window> StackingOrder(Display* display);

}  // namespace vorzik::shell::testing
