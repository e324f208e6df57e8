#pragma once

#include <functional>
#include <vector>

#include "ui/control.h"

namespace vorzik::ui {

/// The window's focus: which control has it, or none when the form itself holds
/// it, and the walk over the tab stops in tab order, skipping switched-off
/// controls and wrapping at either end.
class FocusModel {
 public:
  using Observer = std::function<void(Control* focused)>;

  /// Takes every control that is a tab stop, ordered by TabOrder.
  void SetTabStops(const std::vector<Control*>& controls);
  const std::vector<Control*>& TabStops() const { return tabStops_; }

  Control* Focused() const { return focused_; }
  /// A refused control does not take it: the focus stays where it is.
  void SetFocus(Control* control);
  /// Sets the focus and tells the observers even when it is unchanged, so a
  /// peer puts the native focus back where the toolkit took it away.
  void Restore(Control* control);
  /// Gives the focus to the form itself, where neither Enter nor Space acts.
  void Release() { Restore(nullptr); }

  /// While set, no button takes the focus, by key or by click: the walk passes
  /// them by and one holding the focus gives it to the form. The observers are
  /// told either way, so a peer can keep its buttons off the focus.
  void RefuseButtons(bool refuse);
  bool Refuses(const Control& control) const;

  /// The next enabled tab stop that is not refused, after `from` (or after the
  /// start when `from` is not a tab stop); null when there is none.
  Control* NextTabStop(const Control* from, bool forward) const;
  /// Moves the focus to the next tab stop from the focused control.
  void MoveNext(bool forward);

  void Subscribe(Observer observer) { observers_.push_back(std::move(observer)); }

 private:
  std::vector<Control*> tabStops_;
  Control* focused_ = nullptr;
  bool refuseButtons_ = false;
  std::vector<Observer> observers_;
};

}  // namespace vorzik::ui
