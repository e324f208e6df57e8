#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vorzik::ui {

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

enum class ControlKind {
  Panel,
  CheckBox,
  RadioGroup,
  Edit,
  UpDown,
  ComboBox,
  Label,
  Button,
  Separator,
  StatusBar,
  DriveBox,
  FolderList,
  FileList,
};

// What changed on a control; a peer re-reads that property from the model.
enum class Property {
  Enabled,
  Checked,
  Text,
  ItemIndex,
  Items,
  Position,
  Selection,
  Cursor,
  // The entry a list must bring into view changed.
  Scroll,
};

/// A control of the window model: plain data plus live properties, no toolkit.
/// Peers mirror it into native widgets and feed user actions back through the
/// same methods a test calls.
class Control {
 public:
  using Handler = std::function<void(Control& sender)>;
  // The key is passed by reference so a handler can replace it (0 swallows it).
  using KeyHandler = std::function<void(Control& sender, char& key)>;
  using Observer = std::function<void(Control& sender, Property what)>;

  Control(std::string name, ControlKind kind, Rect bounds) noexcept
      : name_(std::move(name)), kind_(kind), bounds_(bounds) {}
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const { return name_; }
  ControlKind Kind() const { return kind_; }
  const Rect& Bounds() const { return bounds_; }

  bool Enabled() const { return enabled_; }
  // Every set notifies, also one that leaves the value as it was, so the order
  // in which a rule sets its controls can be observed.
  void SetEnabled(bool enabled) {
    enabled_ = enabled;
    Notify(Property::Enabled);
  }

  std::string Hint;
  // Position among the panel's children; -1 for a control that has none.
  int TabOrder = -1;
  bool TabStop = false;

  Handler OnClick;
  KeyHandler OnKeyPress;

  void Subscribe(Observer observer) { observers_.push_back(std::move(observer)); }

 protected:
  void Notify(Property what) {
    for (auto& observer : observers_)
      observer(*this, what);
  }

 private:
  std::string name_;
  ControlKind kind_;
  Rect bounds_;
  bool enabled_ = true;
  std::vector<Observer> observers_;
};

}  // namespace vorzik::ui
