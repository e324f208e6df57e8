#pragma once

// The control kinds of the window model. Each keeps its state, tells its
// observers about every change, and offers two ways in: the program's setters
// and the user's actions (Click, Choose, UserSetText, Pick, StepUp), which are
// what a peer calls when a widget is used.

#include <string>
#include <vector>

#include "ui/control.h"

namespace vorzik::ui {

/// Length in characters of a UTF-8 text; typing limits count characters.
std::size_t CharCount(const std::string& text);

class Panel : public Control {
 public:
  Panel(std::string name, Rect bounds) : Control(std::move(name), ControlKind::Panel, bounds) {}
};

class CheckBox : public Control {
 public:
  CheckBox(std::string name, Rect bounds, std::string caption, bool checked)
      : Control(std::move(name), ControlKind::CheckBox, bounds),
        caption_(std::move(caption)),
        checked_(checked) {}

  const std::string& Caption() const { return caption_; }
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  /// The user's click or space bar: toggles, then runs OnClick.
  void Click();

 private:
  std::string caption_;
  bool checked_;
};

class RadioGroup : public Control {
 public:
  RadioGroup(std::string name, Rect bounds, std::string caption, std::vector<std::string> items,
             int itemIndex)
      : Control(std::move(name), ControlKind::RadioGroup, bounds),
        caption_(std::move(caption)),
        items_(std::move(items)),
        itemIndex_(itemIndex) {}

  const std::string& Caption() const { return caption_; }
  const std::vector<std::string>& Items() const { return items_; }
  int ItemIndex() const { return itemIndex_; }
  /// The program's set; any index is kept, one outside the items selects none.
  void SetItemIndex(int index);
  /// The user chooses an item: selecting another one runs OnClick.
  void Choose(int index);

 private:
  std::string caption_;
  std::vector<std::string> items_;
  int itemIndex_;
};

class Edit : public Control {
 public:
  Edit(std::string name, Rect bounds, std::string text, int maxLength)
      : Control(std::move(name), ControlKind::Edit, bounds),
        text_(std::move(text)),
        maxLength_(maxLength) {}

  const std::string& Text() const { return text_; }
  /// The program's set: not limited by MaxLength.
  void SetText(const std::string& text);
  int MaxLength() const { return maxLength_; }
  /// The text after a user's edit. Refused (false, text kept) when it would grow
  /// beyond MaxLength characters; 0 means no limit.
  bool UserSetText(const std::string& text);
  /// Types characters at the end one by one, as keys would; stops at the first refused one.
  bool Type(const std::string& chars);

 private:
  std::string text_;
  int maxLength_;
};

/// A spinner bound to an edit: shows its position as the edit's text, steps by
/// one between Min and Max without wrapping. Typed text is not checked against
/// the limits; a step starts from the edit's number when it has one.
class UpDown : public Control {
 public:
  UpDown(std::string name, Rect bounds, Edit& associate, int min, int max, int position);

  Edit& Associate() const { return associate_; }
  int Min() const { return min_; }
  int Max() const { return max_; }
  int Position() const { return position_; }
  void SetPosition(int position);
  void StepUp() { Step(+1); }
  void StepDown() { Step(-1); }

 private:
  void Step(int delta);

  Edit& associate_;
  int min_;
  int max_;
  int position_;
};

class ComboBox : public Control {
 public:
  ComboBox(std::string name, Rect bounds, std::vector<std::string> items, std::string text,
           int maxLength)
      : Control(std::move(name), ControlKind::ComboBox, bounds),
        items_(std::move(items)),
        text_(std::move(text)),
        maxLength_(maxLength) {}

  const std::vector<std::string>& Items() const { return items_; }
  const std::string& Text() const { return text_; }
  void SetText(const std::string& text);
  int MaxLength() const { return maxLength_; }
  /// Typing: limited like an edit.
  bool UserSetText(const std::string& text);
  /// Picking an item from the list: its text is taken whole, whatever MaxLength says.
  void Pick(int index);

 private:
  std::vector<std::string> items_;
  std::string text_;
  int maxLength_;
};

class Label : public Control {
 public:
  Label(std::string name, Rect bounds, std::string caption)
      : Control(std::move(name), ControlKind::Label, bounds), caption_(std::move(caption)) {}
  const std::string& Caption() const { return caption_; }

 private:
  std::string caption_;
};

class Button : public Control {
 public:
  Button(std::string name, Rect bounds, std::string caption)
      : Control(std::move(name), ControlKind::Button, bounds), caption_(std::move(caption)) {}
  const std::string& Caption() const { return caption_; }
  void Click() {
    if (OnClick)
      OnClick(*this);
  }

 private:
  std::string caption_;
};

class Separator : public Control {
 public:
  Separator(std::string name, Rect bounds)
      : Control(std::move(name), ControlKind::Separator, bounds) {}
};

/// One panel in simple mode.
class StatusBar : public Control {
 public:
  StatusBar(std::string name, Rect bounds, std::string simpleText)
      : Control(std::move(name), ControlKind::StatusBar, bounds),
        simpleText_(std::move(simpleText)) {}
  bool SimplePanel() const { return true; }
  const std::string& SimpleText() const { return simpleText_; }
  void SetSimpleText(const std::string& text) {
    simpleText_ = text;
    Notify(Property::Text);
  }

 private:
  std::string simpleText_;
};

}  // namespace vorzik::ui
