#include "ui/tform1.h"

namespace vorzik::ui {

namespace {

// Enter in a control bound to E6KeyPress; the browser trio runs it through its
// own key handling, so that an Enter the handler left alone would act there.
char EnterIn(Control& control) {
  char key = '\r';
  switch (control.Kind()) {
    case ControlKind::DriveBox:
      return static_cast<TDriveComboBox&>(control).KeyPress(key);
    case ControlKind::FolderList:
      return static_cast<TDirectoryListBox&>(control).KeyPress(key);
    case ControlKind::FileList:
      return static_cast<TFileListBox&>(control).KeyPress(key);
    default:
      if (control.OnKeyPress)
        control.OnKeyPress(control, key);
      return key;
  }
}

// As in a dialog: past the last item comes the first, before the first the last.
void ChooseRound(RadioGroup& group, int step) {
  const int count = static_cast<int>(group.Items().size());
  if (count == 0 || !group.Enabled())
    return;
  const int from = group.ItemIndex() < 0 || group.ItemIndex() >= count ? 0 : group.ItemIndex();
  group.Choose(((from + step) % count + count) % count);
}

}  // namespace

UpDown* TForm1::UpDownOf(const Control& edit) const {
  for (Control* control : controls_) {
    if (control->Kind() != ControlKind::UpDown)
      continue;
    auto* upDown = static_cast<UpDown*>(control);
    if (&upDown->Associate() == &edit)
      return upDown;
  }
  return nullptr;
}

bool TForm1::KeyDown(Control& control, Key key) {
  if (control.TabStop)
    focus_.SetFocus(&control);
  const ControlKind kind = control.Kind();
  if (key == Key::Enter) {
    // A button the focus refuses (EXIT during a batch) is pressed by no key.
    if (kind == ControlKind::Button && !focus_.Refuses(control))
      static_cast<Button&>(control).Click();
    else if (kind != ControlKind::RadioGroup)
      return EnterIn(control) == 0;
    return true;
  }
  if (kind == ControlKind::RadioGroup) {
    ChooseRound(static_cast<RadioGroup&>(control), key == Key::Up || key == Key::Left ? -1 : 1);
    return true;
  }
  if (kind == ControlKind::Edit && (key == Key::Up || key == Key::Down)) {
    UpDown* upDown = UpDownOf(control);
    if (!upDown)
      return false;
    if (upDown->Enabled())
      key == Key::Up ? upDown->StepUp() : upDown->StepDown();
    return true;
  }
  return false;
}

}  // namespace vorzik::ui
