#include "ui/qt/control_widgets.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolButton>

#include "ui/controls.h"

namespace vorzik::ui::qt {

namespace {

// Subscribes `apply` to one property of a control, for as long as the peer lives.
template <typename Apply>
void OnModel(Control& control, Property what, const std::shared_ptr<bool>& alive, Apply apply) {
  control.Subscribe([alive, what, apply](Control&, Property changed) {
    if (*alive && changed == what)
      apply();
  });
}

QWidget* MakeCheckBox(CheckBox& box, QWidget* parent, const std::shared_ptr<bool>& alive) {
  auto* widget = new QCheckBox(ToQt(box.Caption()), parent);
  widget->setChecked(box.Checked());
  QObject::connect(widget, &QCheckBox::clicked, widget, [&box](bool checked) {
    if (checked != box.Checked())
      box.Click();
  });
  OnModel(box, Property::Checked, alive, [widget, &box] {
    QSignalBlocker blocker(widget);
    widget->setChecked(box.Checked());
  });
  return widget;
}

void CheckItem(QButtonGroup* buttons, int index) {
  QAbstractButton* button = buttons->button(index);
  if (button) {
    button->setChecked(true);
    return;
  }
  // No item selected: the group must let go of its checked button first.
  buttons->setExclusive(false);
  for (QAbstractButton* b : buttons->buttons())
    b->setChecked(false);
  buttons->setExclusive(true);
}

/// A radio group's frame with its items in one column below the caption line
/// as the style draws it; placed anew whenever the frame's size, style or font
/// changes, since each moves that line.
class RadioGroupBox : public QGroupBox {
 public:
  using QGroupBox::QGroupBox;

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QGroupBox::resizeEvent(event);
    PlaceItems();
  }
  void changeEvent(QEvent* event) override {
    QGroupBox::changeEvent(event);
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange)
      PlaceItems();
  }

 private:
  void PlaceItems() {
    const auto items = findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly);
    if (items.isEmpty())
      return;
    const QRect area = contentsRect();
    const int itemHeight = area.height() / static_cast<int>(items.size());
    for (int i = 0; i < items.size(); ++i)
      items[i]->setGeometry(8, area.top() + i * itemHeight, width() - 12, itemHeight);
  }
};

QWidget* MakeRadioGroup(RadioGroup& group, QWidget* parent, const std::shared_ptr<bool>& alive) {
  auto* widget = new RadioGroupBox(ToQt(group.Caption()), parent);
  widget->setFocusPolicy(Qt::NoFocus);
  auto* buttons = new QButtonGroup(widget);
  buttons->setObjectName(QStringLiteral("items"));
  const int count = static_cast<int>(group.Items().size());
  for (int i = 0; i < count; ++i) {
    auto* button = new QRadioButton(ToQt(group.Items()[i]), widget);
    buttons->addButton(button, i);
  }
  CheckItem(buttons, group.ItemIndex());
  QObject::connect(buttons, &QButtonGroup::idClicked, widget,
                   [&group](int id) { group.Choose(id); });
  OnModel(group, Property::ItemIndex, alive, [buttons, &group] {
    QSignalBlocker blocker(buttons);
    CheckItem(buttons, group.ItemIndex());
    // The selected item is the group's tab stop: a focused group shows its
    // focus there.
    auto* focused = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
    QAbstractButton* checked = buttons->checkedButton();
    if (checked && focused && focused != checked && buttons->buttons().contains(focused))
      checked->setFocus(Qt::TabFocusReason);
  });
  return widget;
}

// Puts a refused edit back to the model's text, the cursor where the typing was.
void Revert(QLineEdit* line, const std::string& text, int oldLength) {
  const int cursor = line->cursorPosition() - (line->text().size() - oldLength);
  QSignalBlocker blocker(line);
  line->setText(ToQt(text));
  line->setCursorPosition(cursor < 0 ? 0 : cursor);
}

QWidget* MakeEdit(Edit& edit, QWidget* parent, const std::shared_ptr<bool>& alive) {
  auto* widget = new QLineEdit(ToQt(edit.Text()), parent);
  // The designed edits are 27 pixels wide: the text takes the inner margins too.
  widget->setTextMargins(-1, 0, -1, 0);
  QObject::connect(widget, &QLineEdit::textEdited, widget, [widget, &edit](const QString& text) {
    const int oldLength = ToQt(edit.Text()).size();
    if (!edit.UserSetText(FromQt(text)))
      Revert(widget, edit.Text(), oldLength);
  });
  OnModel(edit, Property::Text, alive, [widget, &edit] {
    if (FromQt(widget->text()) == edit.Text())
      return;
    QSignalBlocker blocker(widget);
    widget->setText(ToQt(edit.Text()));
  });
  return widget;
}

QWidget* MakeUpDown(UpDown& upDown, QWidget* parent) {
  auto* widget = new QWidget(parent);
  const int half = upDown.Bounds().height / 2;
  auto* up = new QToolButton(widget);
  auto* down = new QToolButton(widget);
  up->setObjectName(QStringLiteral("up"));
  down->setObjectName(QStringLiteral("down"));
  up->setArrowType(Qt::UpArrow);
  down->setArrowType(Qt::DownArrow);
  up->setGeometry(0, 0, upDown.Bounds().width, half);
  down->setGeometry(0, half, upDown.Bounds().width, upDown.Bounds().height - half);
  for (QToolButton* b : {up, down}) {
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRepeat(true);
  }
  QObject::connect(up, &QToolButton::clicked, widget, [&upDown] { upDown.StepUp(); });
  QObject::connect(down, &QToolButton::clicked, widget, [&upDown] { upDown.StepDown(); });
  return widget;
}

// The list's current item follows the text, so that the arrow keys step on from it.
void ShowComboText(QComboBox* widget, const std::string& text) {
  widget->setCurrentIndex(widget->findText(ToQt(text), Qt::MatchExactly));
  widget->setEditText(ToQt(text));
}

QWidget* MakeComboBox(ComboBox& combo, QWidget* parent, const std::shared_ptr<bool>& alive) {
  auto* widget = new QComboBox(parent);
  widget->setEditable(true);
  widget->setInsertPolicy(QComboBox::NoInsert);
  widget->setCompleter(nullptr);  // typed text stays exactly what was typed
  for (const auto& item : combo.Items())
    widget->addItem(ToQt(item));
  ShowComboText(widget, combo.Text());
  QLineEdit* line = widget->lineEdit();
  // As in the edits: the designed boxes are narrow, the text takes the margins too.
  line->setTextMargins(-1, 0, -1, 0);
  QObject::connect(line, &QLineEdit::textEdited, widget,
                   [widget, line, &combo](const QString& text) {
                     const int oldLength = ToQt(combo.Text()).size();
                     if (!combo.UserSetText(FromQt(text))) {
                       Revert(line, combo.Text(), oldLength);
                       return;
                     }
                     // The list follows what was typed, so that the arrow keys step on from it.
                     const int cursor = line->cursorPosition();
                     QSignalBlocker blocker(widget);
                     ShowComboText(widget, combo.Text());
                     line->setCursorPosition(cursor);
                   });
  QObject::connect(widget, &QComboBox::activated, widget,
                   [&combo](int index) { combo.Pick(index); });
  OnModel(combo, Property::Text, alive, [widget, &combo] {
    if (FromQt(widget->currentText()) == combo.Text())
      return;
    QSignalBlocker blocker(widget);
    ShowComboText(widget, combo.Text());
  });
  return widget;
}

QWidget* MakeButton(Button& button, QWidget* parent) {
  auto* widget = new QPushButton(ToQt(button.Caption()), parent);
  // Enter on the focused button presses it (the model's key rule, which the
  // key router applies first); neither is the window's default button.
  widget->setAutoDefault(true);
  widget->setDefault(false);
  QObject::connect(widget, &QPushButton::clicked, widget, [&button] { button.Click(); });
  return widget;
}

QWidget* MakeSeparator(QWidget* parent) {
  auto* widget = new QFrame(parent);
  widget->setFrameStyle(QFrame::HLine | QFrame::Sunken);
  return widget;
}

QWidget* MakeStatusBar(StatusBar& bar, QWidget* parent, const std::shared_ptr<bool>& alive) {
  auto* widget = new QStatusBar(parent);
  widget->setSizeGripEnabled(false);
  auto* text = new QLabel(ToQt(bar.SimpleText()), widget);
  text->setObjectName(QStringLiteral("simpleText"));
  widget->addWidget(text, 1);
  OnModel(bar, Property::Text, alive, [text, &bar] { text->setText(ToQt(bar.SimpleText())); });
  return widget;
}

}  // namespace

QWidget* CreateControlWidget(Control& control, QWidget* parent, std::shared_ptr<bool> alive) {
  switch (control.Kind()) {
    case ControlKind::CheckBox:
      return MakeCheckBox(static_cast<CheckBox&>(control), parent, alive);
    case ControlKind::RadioGroup:
      return MakeRadioGroup(static_cast<RadioGroup&>(control), parent, alive);
    case ControlKind::Edit:
      return MakeEdit(static_cast<Edit&>(control), parent, alive);
    case ControlKind::UpDown:
      return MakeUpDown(static_cast<UpDown&>(control), parent);
    case ControlKind::ComboBox:
      return MakeComboBox(static_cast<ComboBox&>(control), parent, alive);
    case ControlKind::Label:
      return new QLabel(ToQt(static_cast<Label&>(control).Caption()), parent);
    case ControlKind::Button:
      return MakeButton(static_cast<Button&>(control), parent);
    case ControlKind::Separator:
      return MakeSeparator(parent);
    case ControlKind::StatusBar:
      return MakeStatusBar(static_cast<StatusBar&>(control), parent, alive);
    case ControlKind::Panel: {
      auto* panel = new QFrame(parent);
      panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
      return panel;
    }
    default:
      return nullptr;
  }
}

QWidget* RadioFocusWidget(QWidget* groupWidget) {
  auto* buttons = groupWidget->findChild<QButtonGroup*>(QStringLiteral("items"));
  if (!buttons)
    return groupWidget;
  if (QAbstractButton* checked = buttons->checkedButton())
    return checked;
  return buttons->buttons().isEmpty() ? groupWidget : buttons->buttons().first();
}

}  // namespace vorzik::ui::qt
