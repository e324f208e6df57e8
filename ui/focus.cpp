#include "ui/focus.h"

#include <algorithm>

namespace vorzik::ui {

void FocusModel::SetTabStops(const std::vector<Control*>& controls) {
  tabStops_.clear();
  for (Control* control : controls) {
    if (control->TabStop)
      tabStops_.push_back(control);
  }
  std::stable_sort(tabStops_.begin(), tabStops_.end(),
                   [](const Control* a, const Control* b) { return a->TabOrder < b->TabOrder; });
}

void FocusModel::SetFocus(Control* control) {
  if (control == focused_ || (control && Refuses(*control)))
    return;
  focused_ = control;
  for (auto& observer : observers_)
    observer(focused_);
}

void FocusModel::Restore(Control* control) {
  focused_ = control;
  for (auto& observer : observers_)
    observer(focused_);
}

void FocusModel::RefuseButtons(bool refuse) {
  refuseButtons_ = refuse;
  Restore(focused_ && Refuses(*focused_) ? nullptr : focused_);
}

bool FocusModel::Refuses(const Control& control) const {
  return refuseButtons_ && control.Kind() == ControlKind::Button;
}

Control* FocusModel::NextTabStop(const Control* from, bool forward) const {
  const int count = static_cast<int>(tabStops_.size());
  if (count == 0)
    return nullptr;
  auto found = std::find(tabStops_.begin(), tabStops_.end(), from);
  int index = found == tabStops_.end() ? (forward ? -1 : count)
                                       : static_cast<int>(found - tabStops_.begin());
  for (int step = 0; step < count; ++step) {
    index = (index + (forward ? 1 : -1) + count) % count;
    if (tabStops_[index]->Enabled() && !Refuses(*tabStops_[index]))
      return tabStops_[index];
  }
  return nullptr;
}

void FocusModel::MoveNext(bool forward) {
  if (Control* next = NextTabStop(focused_, forward))
    SetFocus(next);
}

}  // namespace vorzik::ui
