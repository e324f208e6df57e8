#pragma once

#include <functional>
#include <vector>

#include "ui/control.h"

namespace vorzik::ui {

/// The window's focus: which control has it, and the walk over the tab stops in
/// tab order, skipping switched-off controls and wrapping at either end.
class FocusModel {
 public:
  using Observer = std::function<void(Control* focused)>;

  /// Takes every control that is a tab stop, ordered by TabOrder.
  void SetTabStops(const std::vector<Control*>& controls);
  const std::vector<Control*>& TabStops() const { return tabStops_; }

  Control* Focused() const { return focused_; }
  void SetFocus(Control* control);
  /// Sets the focus and tells the observers even when it is unchanged, so a
  /// peer puts the native focus back where the toolkit took it away.
  void Restore(Control* control);

  /// The next enabled tab stop after `from` (or after the start when `from` is
  /// not a tab stop); null when every tab stop is switched off.
  Control* NextTabStop(const Control* from, bool forward) const;
  /// Moves the focus to the next tab stop from the focused control.
  void MoveNext(bool forward);

  void Subscribe(Observer observer) { observers_.push_back(std::move(observer)); }

 private:
  std::vector<Control*> tabStops_;
  Control* focused_ = nullptr;
  std::vector<Observer> observers_;
};

}  // namespace vorzik::ui
