#include "ui/controls.h"

#include <charconv>

namespace vorzik::ui {

std::size_t CharCount(const std::string& text) {
  std::size_t count = 0;
  for (unsigned char c : text) {
    if ((c & 0xC0) != 0x80)
      ++count;
  }
  return count;
}

namespace {

// A user's edit may shorten any text, but may not leave it longer than the limit.
bool TypingAllowed(const std::string& before, const std::string& after, int maxLength) {
  if (maxLength <= 0)
    return true;
  const std::size_t length = CharCount(after);
  return length <= static_cast<std::size_t>(maxLength) || length < CharCount(before);
}

}  // namespace

void CheckBox::SetChecked(bool checked) {
  checked_ = checked;
  Notify(Property::Checked);
}

void CheckBox::Click() {
  SetChecked(!checked_);
  if (OnClick)
    OnClick(*this);
}

void RadioGroup::SetItemIndex(int index) {
  itemIndex_ = index;
  Notify(Property::ItemIndex);
}

void RadioGroup::Choose(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size()) || index == itemIndex_)
    return;
  SetItemIndex(index);
  if (OnClick)
    OnClick(*this);
}

void Edit::SetText(const std::string& text) {
  text_ = text;
  Notify(Property::Text);
}

bool Edit::UserSetText(const std::string& text) {
  if (!TypingAllowed(text_, text, maxLength_))
    return false;
  SetText(text);
  return true;
}

bool Edit::Type(const std::string& chars) {
  for (char c : chars) {
    if (!UserSetText(text_ + c))
      return false;
  }
  return true;
}

UpDown::UpDown(std::string name, Rect bounds, Edit& associate, int min, int max, int position)
    : Control(std::move(name), ControlKind::UpDown, bounds),
      associate_(associate),
      min_(min),
      max_(max),
      position_(position) {
  associate_.SetText(std::to_string(position_));
}

void UpDown::SetPosition(int position) {
  position_ = position < min_ ? min_ : (position > max_ ? max_ : position);
  Notify(Property::Position);
  associate_.SetText(std::to_string(position_));
}

void UpDown::Step(int delta) {
  // The edit may hold a typed number outside the limits; the step starts from it clamped.
  int from = position_;
  const std::string& text = associate_.Text();
  int parsed = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (error == std::errc() && end == text.data() + text.size())
    from = parsed;
  from = from < min_ ? min_ : (from > max_ ? max_ : from);
  SetPosition(from + delta);
}

void ComboBox::SetText(const std::string& text) {
  text_ = text;
  Notify(Property::Text);
}

bool ComboBox::UserSetText(const std::string& text) {
  if (!TypingAllowed(text_, text, maxLength_))
    return false;
  SetText(text);
  return true;
}

void ComboBox::Pick(int index) {
  if (index < 0 || index >= static_cast<int>(items_.size()))
    return;
  SetText(items_[index]);
}

}  // namespace vorzik::ui
