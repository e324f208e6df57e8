#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "ui/control.h"

namespace vorzik::ui::win32 {

/// The native windows made for one model control: its own window, plus the
/// item buttons of a radio group or the edit inside an editable combo box.
struct NativeControl {
  HWND handle = nullptr;
  std::vector<HWND> items;
  HWND inner = nullptr;
};

/// Turns false when the peer goes; the model outlives its windows and keeps
/// its observers, which must then do nothing.
using Alive = std::shared_ptr<bool>;

/// Creates the windows of one control at its designed geometry in `parent`,
/// and mirrors every model change into them from then on.
NativeControl CreateControlWindow(Control& control, HWND parent, HINSTANCE instance,
                                  const Alive& alive);

/// Binds a spinner to its edit, keeping the spinner at its designed place.
void BindUpDown(HWND upDown, HWND buddy, const Rect& r);

/// Sets a combo box's closed height; a new font resets it.
void FitComboField(HWND combo, int height);

/// A WM_COMMAND notification from one of the control's windows: the user's
/// action goes to the model through its user methods.
void ControlCommand(Control& control, const NativeControl& native, HWND from, int code);

/// Draws one entry of an owner-drawn list; false for a control that draws itself.
bool DrawFolderEntry(Control& control, const DRAWITEMSTRUCT& item);

/// A WM_NOTIFY from the control's window; true when handled, with `result`.
bool ControlNotify(Control& control, const NMHDR& header, LRESULT& result);

}  // namespace vorzik::ui::win32
