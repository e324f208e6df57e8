#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <unordered_map>

#include "ui/tform1.h"
#include "ui/win32/control_windows.h"

namespace vorzik::ui::win32 {

/// The native face of TForm1: one standard control per model control at the
/// designed geometry. Every model change is mirrored into its window, and every
/// user action goes back through the model's own user methods, so its rules
/// (typing limits, the Enter walk, the enabling rules) apply; Tab and Enter go
/// to the model first.
class FormPeer {
 public:
  /// `owner` is the application-level window, or none.
  FormPeer(TForm1& form, HWND owner);
  ~FormPeer();
  FormPeer(const FormPeer&) = delete;
  FormPeer& operator=(const FormPeer&) = delete;

  HWND Window() const { return window_; }
  HWND Panel() const { return panel_; }
  HWND Tooltips() const { return tooltips_; }
  /// The window made for a control; null for none.
  HWND HandleOf(const Control& control) const;
  /// The item buttons of a radio group.
  const std::vector<HWND>& ItemsOf(const Control& control) const;
  /// The window that takes the focus for a control: a radio group's selected item.
  HWND FocusHandleOf(const Control& control) const;
  /// The control a window belongs to.
  Control* ControlOf(HWND handle) const;
  /// Shows the window centred on the screen, with the model's focus.
  void Show();

  /// Runs when the window is gone, after the model agreed to close.
  std::function<void()> OnDestroyed;

  LRESULT FormMessage(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT PanelMessage(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
  bool KeyMessage(HWND handle, UINT message, WPARAM& wParam);
  /// A message to a control's window: the model's keys first, then the control.
  LRESULT SubclassMessage(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void CreateWindows(HWND owner);
  void CreateFonts();
  void CreateControl(Control& control);
  void Register(Control& control, HWND handle);
  void AddTool(HWND handle, const std::string& hint);
  void FollowFocus();
  bool HandleChar(Control& control, WPARAM& wParam);

  TForm1& form_;
  Alive alive_;
  HINSTANCE instance_;
  HWND window_ = nullptr;
  HWND panel_ = nullptr;
  HWND tooltips_ = nullptr;
  HFONT font_ = nullptr;
  HFONT editFont_ = nullptr;
  std::unordered_map<const Control*, NativeControl> natives_;
  std::unordered_map<HWND, Control*> controls_;
  // Each subclassed control's own window procedure.
  std::unordered_map<HWND, WNDPROC> originalProcs_;
};

}  // namespace vorzik::ui::win32
