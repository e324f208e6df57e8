#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace vorzik::shell {

/// The title by which a start finds a running instance, and which the running
/// instance's application-level window carries.
inline constexpr char kApplicationTitle[] = "Vorzik Ver 1.1a";

/// A native top-level window; 0 is none.
using WindowId = std::uint64_t;

/// The window-system queries of the single-instance test.
class InstanceFinder {
 public:
  virtual ~InstanceFinder() = default;
  /// A top-level window of any program whose whole title equals `title`,
  /// letter case ignored; 0 when there is none.
  virtual WindowId FindTitledWindow(const std::string& title) = 0;
  /// The main window that a found application-level window names; 0 for none.
  virtual WindowId MainWindowOf(WindowId window) = 0;
  virtual bool IsIconic(WindowId window) = 0;
  /// Restores a minimised window.
  virtual void OpenIcon(WindowId window) = 0;
  /// Raises the window and asks for it to become the active one.
  virtual void SetForegroundWindow(WindowId window) = 0;
  /// Called by the running instance: records its main window on its
  /// application-level window, for a later start to bring forward.
  virtual void SetMainWindow(WindowId applicationWindow, WindowId mainWindow) = 0;
};

/// The platform's finder; on X11 without a display it finds nothing.
std::unique_ptr<InstanceFinder> MakeInstanceFinder();

/// Whole-title comparison with ASCII letter case ignored, as the search uses.
bool TitlesMatch(const std::string& a, const std::string& b);

/// Steps 2 and 3 of the program entry: when a window with the title exists,
/// restores the running instance's main window if minimised, brings it
/// forward and returns true; the caller then ends without a window.
bool BringRunningInstanceForward(InstanceFinder& finder, const std::string& title);

}  // namespace vorzik::shell
