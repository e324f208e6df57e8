#include "ui/win32/control_windows.h"

#include <commctrl.h>

#include <functional>
#include <string>

#include "ui/browser/browser.h"
#include "ui/controls.h"
#include "ui/win32/text.h"

namespace vorzik::ui::win32 {

namespace {

// True while a model value is being copied into a window, so the
// notifications that copy raises are not taken for the user's.
bool mirroring = false;

class Mirroring {
 public:
  Mirroring() : was_(mirroring) { mirroring = true; }
  ~Mirroring() { mirroring = was_; }

 private:
  bool was_;
};

// Runs `apply` for each change of one property while the peer lives.
template <typename Apply>
void OnModel(Control& control, Property what, const Alive& alive, Apply apply) {
  control.Subscribe([alive, what, apply](Control&, Property changed) {
    if (*alive && changed == what) {
      Mirroring guard;
      apply();
    }
  });
}

HWND Make(const wchar_t* className, const std::wstring& text, DWORD style, const Rect& r,
          HWND parent, HINSTANCE instance) {
  return ::CreateWindowExW(0, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                           r.width, r.height, parent, nullptr, instance, nullptr);
}

std::wstring WindowText(HWND handle) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(handle)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      ::GetWindowTextW(handle, text.data(), static_cast<int>(text.size()))));
  return text;
}

void SetText(HWND handle, const std::wstring& text) {
  if (WindowText(handle) != text)
    ::SetWindowTextW(handle, text.c_str());
}

NativeControl MakeCheckBox(CheckBox& box, HWND parent, HINSTANCE instance, const Alive& alive) {
  HWND handle = Make(L"BUTTON", WidenUtf8(box.Caption()), BS_AUTOCHECKBOX | WS_TABSTOP,
                     box.Bounds(), parent, instance);
  auto show = [handle, &box] {
    ::SendMessageW(handle, BM_SETCHECK, box.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  };
  show();
  OnModel(box, Property::Checked, alive, show);
  return {handle, {}, nullptr};
}

// The items stand in one column below the caption, as siblings of the frame,
// so their notifications reach the panel.
NativeControl MakeRadioGroup(RadioGroup& group, HWND parent, HINSTANCE instance,
                             const Alive& alive) {
  const Rect& r = group.Bounds();
  NativeControl native{
      Make(L"BUTTON", WidenUtf8(group.Caption()), BS_GROUPBOX, r, parent, instance), {}, nullptr};
  const int count = static_cast<int>(group.Items().size());
  const int top = 14;
  const int itemHeight = count ? (r.height - top - 2) / count : 0;
  for (int i = 0; i < count; ++i) {
    Rect item{r.left + 8, r.top + top + i * itemHeight, r.width - 12, itemHeight};
    native.items.push_back(Make(L"BUTTON", WidenUtf8(group.Items()[i]), BS_RADIOBUTTON | WS_TABSTOP,
                                item, parent, instance));
  }
  auto show = [items = native.items, &group] {
    const int index = group.ItemIndex();
    bool focused = false;
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
      ::SendMessageW(items[i], BM_SETCHECK, i == index ? BST_CHECKED : BST_UNCHECKED, 0);
      focused = focused || ::GetFocus() == items[i];
    }
    // The selected item is the group's tab stop: a focused group shows its focus there.
    if (focused && index >= 0 && index < static_cast<int>(items.size()))
      ::SetFocus(items[index]);
  };
  show();
  OnModel(group, Property::ItemIndex, alive, show);
  return native;
}

// The native limit refuses typing at once; the model's check after each
// change stays the rule, for pasted text too.
NativeControl MakeEdit(Edit& edit, HWND parent, HINSTANCE instance, const Alive& alive) {
  HWND handle = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", WidenUtf8(edit.Text()).c_str(),
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                                  edit.Bounds().left, edit.Bounds().top, edit.Bounds().width,
                                  edit.Bounds().height, parent, nullptr, instance, nullptr);
  if (edit.MaxLength() > 0)
    ::SendMessageW(handle, EM_LIMITTEXT, static_cast<WPARAM>(edit.MaxLength()), 0);
  OnModel(edit, Property::Text, alive,
          [handle, &edit] { SetText(handle, WidenUtf8(edit.Text())); });
  return {handle, {}, nullptr};
}

// The spinner is bound to its edit but never writes it: each step goes to the
// model, which writes the edit's text.
NativeControl MakeUpDown(UpDown& upDown, HWND parent, HINSTANCE instance, const Alive& alive) {
  HWND handle = Make(UPDOWN_CLASSW, L"", 0, upDown.Bounds(), parent, instance);
  ::SendMessageW(handle, UDM_SETRANGE32, static_cast<WPARAM>(upDown.Min()), upDown.Max());
  auto show = [handle, &upDown] { ::SendMessageW(handle, UDM_SETPOS32, 0, upDown.Position()); };
  show();
  OnModel(upDown, Property::Position, alive, show);
  return {handle, {}, nullptr};
}

// The list's current item follows the text, so the arrow keys step on from it.
void ShowComboText(HWND handle, const std::string& text) {
  const std::wstring wide = WidenUtf8(text);
  const LRESULT index = ::SendMessageW(handle, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(wide.c_str()));
  ::SendMessageW(handle, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SetText(handle, wide);
}

// A combo's height is that of its closed field; the list drops below it.
HWND MakeCombo(DWORD style, const Rect& r, HWND parent, HINSTANCE instance) {
  constexpr int kListHeight = 160;
  HWND handle = ::CreateWindowExW(
      0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | style, r.left, r.top,
      r.width, r.height + kListHeight, parent, nullptr, instance, nullptr);
  return handle;
}

NativeControl MakeComboBox(ComboBox& combo, HWND parent, HINSTANCE instance, const Alive& alive) {
  HWND handle = MakeCombo(CBS_DROPDOWN | CBS_AUTOHSCROLL, combo.Bounds(), parent, instance);
  for (const auto& item : combo.Items())
    ::SendMessageW(handle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WidenUtf8(item).c_str()));
  if (combo.MaxLength() > 0)
    ::SendMessageW(handle, CB_LIMITTEXT, static_cast<WPARAM>(combo.MaxLength()), 0);
  {
    Mirroring guard;
    ShowComboText(handle, combo.Text());
  }
  OnModel(combo, Property::Text, alive, [handle, &combo] { ShowComboText(handle, combo.Text()); });
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ::GetComboBoxInfo(handle, &info);
  return {handle, {}, info.hwndItem};
}

NativeControl MakeStatusBar(StatusBar& bar, HWND parent, HINSTANCE instance, const Alive& alive) {
  // Placed as designed rather than by the bar's own docking.
  HWND handle = Make(STATUSCLASSNAMEW, L"", CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
                     bar.Bounds(), parent, instance);
  ::SendMessageW(handle, SB_SIMPLE, TRUE, 0);
  auto show = [handle, &bar] {
    ::SendMessageW(handle, SB_SETTEXTW, SB_SIMPLEID,
                   reinterpret_cast<LPARAM>(WidenUtf8(bar.SimpleText()).c_str()));
  };
  show();
  OnModel(bar, Property::Text, alive, show);
  return {handle, {}, nullptr};
}

NativeControl MakeDriveBox(TDriveComboBox& box, HWND parent, HINSTANCE instance,
                           const Alive& alive) {
  HWND handle = MakeCombo(CBS_DROPDOWNLIST, box.Bounds(), parent, instance);
  auto fill = [handle, &box] {
    ::SendMessageW(handle, CB_RESETCONTENT, 0, 0);
    for (const auto& entry : box.Items())
      ::SendMessageW(handle, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(WidenAnsi(entry.text).c_str()));
  };
  auto select = [handle, &box] {
    ::SendMessageW(handle, CB_SETCURSEL, static_cast<WPARAM>(box.ItemIndex()), 0);
  };
  fill();
  select();
  OnModel(box, Property::Items, alive, fill);
  OnModel(box, Property::ItemIndex, alive, select);
  return {handle, {}, nullptr};
}

HWND MakeList(const Rect& r, int itemHeight, DWORD style, HWND parent, HINSTANCE instance) {
  HWND handle = ::CreateWindowExW(
      WS_EX_CLIENTEDGE, L"LISTBOX", L"",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | style,
      r.left, r.top, r.width, r.height, parent, nullptr, instance, nullptr);
  ::SendMessageW(handle, LB_SETITEMHEIGHT, 0, itemHeight);
  return handle;
}

void FillList(HWND handle, int count, const std::function<std::wstring(int)>& text) {
  ::SendMessageW(handle, LB_RESETCONTENT, 0, 0);
  for (int i = 0; i < count; ++i)
    ::SendMessageW(handle, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text(i).c_str()));
}

NativeControl MakeFolderList(TDirectoryListBox& list, HWND parent, HINSTANCE instance,
                             const Alive& alive) {
  // Drawn by us, to indent each entry by its depth in the tree.
  HWND handle = MakeList(list.Bounds(), 16, LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, parent, instance);
  auto fill = [handle, &list] {
    FillList(handle, static_cast<int>(list.Items().size()),
             [&list](int i) { return WidenAnsi(list.DisplayText(i)); });
  };
  auto select = [handle, &list] {
    ::SendMessageW(handle, LB_SETCURSEL, static_cast<WPARAM>(list.ItemIndex()), 0);
  };
  fill();
  select();
  OnModel(list, Property::Items, alive, fill);
  OnModel(list, Property::ItemIndex, alive, select);
  return {handle, {}, nullptr};
}

NativeControl MakeFileList(TFileListBox& list, HWND parent, HINSTANCE instance,
                           const Alive& alive) {
  // The font set afterwards raises the rows to its own line height where
  // that is taller, so underscores in names stay visible.
  HWND handle = MakeList(list.Bounds(), 12, 0, parent, instance);
  auto fill = [handle, &list] {
    // The name as stored; only the batch's paths carry the short form.
    FillList(handle, list.Count(), [&list](int i) { return WidenUtf8(list.ShownName(i)); });
  };
  auto select = [handle, &list] {
    ::SendMessageW(handle, LB_SETCURSEL, static_cast<WPARAM>(list.ItemIndex()), 0);
  };
  fill();
  select();
  OnModel(list, Property::Items, alive, fill);
  OnModel(list, Property::ItemIndex, alive, select);
  OnModel(list, Property::Scroll, alive, [handle, &list] {
    if (list.ScrollTarget() >= 0)
      ::SendMessageW(handle, LB_SETCARETINDEX, static_cast<WPARAM>(list.ScrollTarget()), FALSE);
  });
  return {handle, {}, nullptr};
}

// The text after the user's edit, refused when the model refuses it.
template <typename Model>
void TakeTyping(Model& model, HWND handle) {
  const std::string typed = NarrowUtf8(WindowText(handle));
  if (typed == model.Text() || model.UserSetText(typed))
    return;
  Mirroring guard;
  ::SetWindowTextW(handle, WidenUtf8(model.Text()).c_str());
}

}  // namespace

NativeControl CreateControlWindow(Control& control, HWND parent, HINSTANCE instance,
                                  const Alive& alive) {
  const Rect& r = control.Bounds();
  switch (control.Kind()) {
    case ControlKind::CheckBox:
      return MakeCheckBox(static_cast<CheckBox&>(control), parent, instance, alive);
    case ControlKind::RadioGroup:
      return MakeRadioGroup(static_cast<RadioGroup&>(control), parent, instance, alive);
    case ControlKind::Edit:
      return MakeEdit(static_cast<Edit&>(control), parent, instance, alive);
    case ControlKind::UpDown:
      return MakeUpDown(static_cast<UpDown&>(control), parent, instance, alive);
    case ControlKind::ComboBox:
      return MakeComboBox(static_cast<ComboBox&>(control), parent, instance, alive);
    case ControlKind::Label:
      return {Make(L"STATIC", WidenUtf8(static_cast<Label&>(control).Caption()), SS_LEFT, r, parent,
                   instance),
              {},
              nullptr};
    case ControlKind::Button:
      return {Make(L"BUTTON", WidenUtf8(static_cast<Button&>(control).Caption()),
                   BS_PUSHBUTTON | WS_TABSTOP, r, parent, instance),
              {},
              nullptr};
    case ControlKind::Separator:
      return {Make(L"BUTTON", L"", BS_GROUPBOX, r, parent, instance), {}, nullptr};
    case ControlKind::StatusBar:
      return MakeStatusBar(static_cast<StatusBar&>(control), parent, instance, alive);
    case ControlKind::DriveBox:
      return MakeDriveBox(static_cast<TDriveComboBox&>(control), parent, instance, alive);
    case ControlKind::FolderList:
      return MakeFolderList(static_cast<TDirectoryListBox&>(control), parent, instance, alive);
    case ControlKind::FileList:
      return MakeFileList(static_cast<TFileListBox&>(control), parent, instance, alive);
    default:
      return {};
  }
}

void FitComboField(HWND combo, int height) {
  // The field is its item height and a 3-pixel border above and below.
  constexpr int kFieldBorders = 6;
  ::SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height - kFieldBorders);
}

void BindUpDown(HWND upDown, HWND buddy, const Rect& r) {
  ::SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
  // Binding moves the spinner next to the edit; the designed place wins.
  ::MoveWindow(upDown, r.left, r.top, r.width, r.height, FALSE);
}

void ControlCommand(Control& control, const NativeControl& native, HWND from, int code) {
  if (mirroring)
    return;
  switch (control.Kind()) {
    case ControlKind::CheckBox: {
      auto& box = static_cast<CheckBox&>(control);
      if (code != BN_CLICKED)
        return;
      const bool shown = ::SendMessageW(from, BM_GETCHECK, 0, 0) == BST_CHECKED;
      if (shown != box.Checked())
        box.Click();
      Mirroring guard;
      ::SendMessageW(from, BM_SETCHECK, box.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
      return;
    }
    case ControlKind::RadioGroup:
      if (code == BN_CLICKED) {
        for (int i = 0; i < static_cast<int>(native.items.size()); ++i) {
          if (native.items[i] == from)
            static_cast<RadioGroup&>(control).Choose(i);
        }
      }
      return;
    case ControlKind::Button:
      if (code == BN_CLICKED)
        static_cast<Button&>(control).Click();
      return;
    case ControlKind::Edit:
      if (code == EN_CHANGE)
        TakeTyping(static_cast<Edit&>(control), from);
      return;
    case ControlKind::ComboBox: {
      auto& combo = static_cast<ComboBox&>(control);
      if (code == CBN_EDITCHANGE)
        TakeTyping(combo, native.handle);
      if (code == CBN_SELCHANGE) {
        const auto index = static_cast<int>(::SendMessageW(native.handle, CB_GETCURSEL, 0, 0));
        if (index >= 0)
          combo.Pick(index);
      }
      return;
    }
    case ControlKind::DriveBox: {
      auto& box = static_cast<TDriveComboBox&>(control);
      if (code == CBN_SELCHANGE) {
        box.Choose(static_cast<int>(::SendMessageW(native.handle, CB_GETCURSEL, 0, 0)));
        Mirroring guard;
        ::SendMessageW(native.handle, CB_SETCURSEL, static_cast<WPARAM>(box.ItemIndex()), 0);
      }
      return;
    }
    case ControlKind::FolderList: {
      auto& list = static_cast<TDirectoryListBox&>(control);
      const auto index = static_cast<int>(::SendMessageW(native.handle, LB_GETCURSEL, 0, 0));
      if (code == LBN_SELCHANGE)
        list.Highlight(index);
      if (code == LBN_DBLCLK)
        list.Open(index);
      return;
    }
    case ControlKind::FileList:
      if (code == LBN_SELCHANGE)
        static_cast<TFileListBox&>(control).Select(
            static_cast<int>(::SendMessageW(native.handle, LB_GETCURSEL, 0, 0)));
      return;
    default:
      return;
  }
}

bool DrawFolderEntry(Control& control, const DRAWITEMSTRUCT& item) {
  if (control.Kind() != ControlKind::FolderList)
    return false;
  auto& list = static_cast<TDirectoryListBox&>(control);
  const bool selected = item.itemState & ODS_SELECTED;
  ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const auto index = static_cast<int>(item.itemID);
  if (index < 0 || index >= static_cast<int>(list.Items().size()))
    return true;
  constexpr int kIndentStep = 8;
  RECT text = item.rcItem;
  text.left += 2 + list.Items()[index].depth * kIndentStep;
  ::SetBkMode(item.hDC, TRANSPARENT);
  ::SetTextColor(item.hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  const std::wstring shown = WidenAnsi(list.DisplayText(index));
  ::DrawTextW(item.hDC, shown.c_str(), static_cast<int>(shown.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (item.itemState & ODS_FOCUS)
    ::DrawFocusRect(item.hDC, &item.rcItem);
  return true;
}

bool ControlNotify(Control& control, const NMHDR& header, LRESULT& result) {
  if (control.Kind() != ControlKind::UpDown || header.code != UDN_DELTAPOS)
    return false;
  auto& upDown = static_cast<UpDown&>(control);
  const auto& change = reinterpret_cast<const NMUPDOWN&>(header);
  change.iDelta > 0 ? upDown.StepUp() : upDown.StepDown();
  result = TRUE;  // the model stepped; the spinner keeps the model's position
  return true;
}

}  // namespace vorzik::ui::win32
