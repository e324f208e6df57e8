// The single-instance test on Windows: the window manager's own title search,
// and the owner chain that links the application-level window and the main window.

#include <windows.h>

#include "shell/instance_finder.h"

namespace vorzik::shell {

namespace {

// Where the running instance leaves its main window on its application-level
// window, for the case that window owns nothing it could report as its owner.
constexpr char kMainWindowProperty[] = "VorzikMainWindow";

HWND ToWindow(WindowId window) {
  return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
}

WindowId FromWindow(HWND window) {
  return static_cast<WindowId>(reinterpret_cast<std::uintptr_t>(window));
}

class Win32InstanceFinder : public InstanceFinder {
 public:
  // FindWindowA compares the whole title and ignores letter case itself.
  WindowId FindTitledWindow(const std::string& title) override {
    return FromWindow(::FindWindowA(nullptr, title.c_str()));
  }

  // A found window with an owner is an owned window of the instance, and the
  // owner is what the user knows. Our application-level window is owned by
  // nothing; the main window it recorded is then the one to bring forward.
  WindowId MainWindowOf(WindowId window) override {
    if (HWND owner = ::GetWindow(ToWindow(window), GW_OWNER))
      return FromWindow(owner);
    return FromWindow(static_cast<HWND>(::GetPropA(ToWindow(window), kMainWindowProperty)));
  }

  bool IsIconic(WindowId window) override { return ::IsIconic(ToWindow(window)) != FALSE; }

  void OpenIcon(WindowId window) override { ::OpenIcon(ToWindow(window)); }

  void SetForegroundWindow(WindowId window) override { ::SetForegroundWindow(ToWindow(window)); }

  void SetMainWindow(WindowId applicationWindow, WindowId mainWindow) override {
    ::SetPropA(ToWindow(applicationWindow), kMainWindowProperty, ToWindow(mainWindow));
  }
};

}  // namespace

std::unique_ptr<InstanceFinder> MakeInstanceFinder() {
  return std::make_unique<Win32InstanceFinder>();
}

}  // namespace vorzik::shell
