// The Win32 peer's controls: made from the model with its classes, texts,
// geometry and states; user actions reach the model and model changes reach
// the controls.

#include <windows.h>
// commctrl.h needs windows.h first.
#include <commctrl.h>

#include <map>

#include "tests/ui/win32/win32_peer_fixture.h"

namespace vorzik::ui {
namespace {

using testing::Win32PeerTest;
using win32::WidenUtf8;

std::wstring ClassOf(HWND handle) {
  wchar_t name[64] = {};
  ::GetClassNameW(handle, name, 64);
  return name;
}

// The control's rectangle in its parent's client coordinates.
Rect PlaceOf(HWND handle) {
  RECT r{};
  ::GetWindowRect(handle, &r);
  ::MapWindowPoints(nullptr, ::GetParent(handle), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// A simple-mode bar answers for its one panel under the first part's index.
std::wstring StatusText(HWND bar) {
  wchar_t text[256] = {};
  ::SendMessageW(bar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
  return text;
}

TEST_F(Win32PeerTest, EveryControlIsANativeControlOfItsKindAtItsDesignedPlace) {
  const std::map<ControlKind, std::wstring> classes = {
      {ControlKind::Panel, L"VorzikPanel"},      {ControlKind::CheckBox, L"Button"},
      {ControlKind::RadioGroup, L"Button"},      {ControlKind::Edit, L"Edit"},
      {ControlKind::UpDown, L"msctls_updown32"}, {ControlKind::ComboBox, L"ComboBox"},
      {ControlKind::Label, L"Static"},           {ControlKind::Button, L"Button"},
      {ControlKind::Separator, L"Button"},       {ControlKind::StatusBar, L"msctls_statusbar32"},
      {ControlKind::DriveBox, L"ComboBox"},      {ControlKind::FolderList, L"ListBox"},
      {ControlKind::FileList, L"ListBox"},
  };
  ASSERT_EQ(form->Controls().size(), 45u);
  for (const Control* c : form->Controls()) {
    HWND handle = Handle(*c);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(_wcsicmp(ClassOf(handle).c_str(), classes.at(c->Kind()).c_str()), 0) << c->Name();
    const Rect place = PlaceOf(handle);
    const Rect& r = c->Bounds();
    EXPECT_EQ(place.left, r.left) << c->Name();
    EXPECT_EQ(place.top, r.top) << c->Name();
    EXPECT_EQ(place.width, r.width) << c->Name();
    EXPECT_EQ(place.height, r.height) << c->Name();
    EXPECT_EQ(::IsWindowEnabled(handle) != 0, c->Enabled()) << c->Name();
    const bool onWindow = c->Kind() == ControlKind::Panel || c->Kind() == ControlKind::StatusBar;
    EXPECT_EQ(::GetParent(handle), onWindow ? peer->Window() : peer->Panel()) << c->Name();
  }
}

TEST_F(Win32PeerTest, WindowHasTheCaptionTheClientAreaAndNoMaximiseButton) {
  EXPECT_EQ(Text(peer->Window()), WidenUtf8(kFormCaption));
  RECT client{};
  ::GetClientRect(peer->Window(), &client);
  EXPECT_EQ(client.right, kClientWidth);
  EXPECT_EQ(client.bottom, kClientHeight);
  const LONG_PTR style = ::GetWindowLongPtrW(peer->Window(), GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
}

TEST_F(Win32PeerTest, FontIsTheDesignedFaceAtTwelvePixelsAndThirteenInTheEdits) {
  for (const Control* c : std::initializer_list<const Control*>{&form->CB3, &form->E1, &form->B1}) {
    auto font = reinterpret_cast<HFONT>(::SendMessageW(Handle(*c), WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr) << c->Name();
    LOGFONTW log{};
    ::GetObjectW(font, sizeof log, &log);
    EXPECT_EQ(std::wstring(log.lfFaceName), WidenUtf8("ＭＳ Ｐゴシック")) << c->Name();
    EXPECT_EQ(log.lfCharSet, SHIFTJIS_CHARSET) << c->Name();
    EXPECT_EQ(log.lfHeight, c->Kind() == ControlKind::Edit ? -13 : -12) << c->Name();
  }
}

TEST_F(Win32PeerTest, CaptionsItemsAndTextsAreTheModelsInUtf16) {
  EXPECT_EQ(Text(form->CB3), L"Quality");
  EXPECT_EQ(Text(form->B1), L"Encode Start");
  EXPECT_EQ(Text(form->B2), L"EXIT");
  EXPECT_EQ(Text(form->RG2), L" Encode Mode ");
  EXPECT_EQ(Text(form->L1), L"Quality(VBR)");
  EXPECT_EQ(Text(form->E1), L"200");
  EXPECT_EQ(Text(form->ComB1), L"Ov");
  EXPECT_EQ(Text(form->ComB4), L"4.00");
  const auto& items = peer->ItemsOf(form->RG2);
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(Text(items[1]), L"AC3 (ac3enc)");
  EXPECT_TRUE(IsChecked(items[0]));
  EXPECT_FALSE(IsChecked(items[1]));
  EXPECT_EQ(::SendMessageW(Handle(form->ComB2), CB_GETCOUNT, 0, 0), 10);
  EXPECT_TRUE(IsChecked(Handle(form->CB1)));
  EXPECT_FALSE(IsChecked(Handle(form->CB4)));
  EXPECT_EQ(StatusText(Handle(form->SB1)), WidenUtf8(kStatusText));
  EXPECT_TRUE(::SendMessageW(Handle(form->SB1), SB_ISSIMPLE, 0, 0));
}

TEST_F(Win32PeerTest, EveryHintIsATooltipOfItsControl) {
  for (const Control* c : form->Controls()) {
    if (c->Hint.empty())
      continue;
    wchar_t text[256] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = peer->Window();
    tool.uId = reinterpret_cast<UINT_PTR>(Handle(*c));
    tool.lpszText = text;
    ::SendMessageW(peer->Tooltips(), TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::wstring(text), WidenUtf8(c->Hint)) << c->Name();
  }
}

TEST_F(Win32PeerTest, ClickingACheckBoxTogglesTheModelAndRunsItsRule) {
  ASSERT_FALSE(::IsWindowEnabled(Handle(form->E2)));
  ::SendMessageW(Handle(form->CB4), BM_CLICK, 0, 0);
  EXPECT_TRUE(form->CB4.Checked());
  EXPECT_TRUE(IsChecked(Handle(form->CB4)));
  EXPECT_TRUE(form->E2.Enabled());
  EXPECT_TRUE(::IsWindowEnabled(Handle(form->E2)));
  EXPECT_TRUE(::IsWindowEnabled(Handle(form->UD2)));
}

TEST_F(Win32PeerTest, ClickingARadioItemChoosesItInTheModel) {
  ::SendMessageW(peer->ItemsOf(form->RG2)[2], BM_CLICK, 0, 0);
  EXPECT_EQ(form->RG2.ItemIndex(), 2);
  EXPECT_TRUE(IsChecked(peer->ItemsOf(form->RG2)[2]));
  EXPECT_FALSE(IsChecked(peer->ItemsOf(form->RG2)[0]));
  // The encoder rule ran: the Ogg Vorbis quality is on.
  EXPECT_TRUE(::IsWindowEnabled(Handle(form->ComB4)));
}

TEST_F(Win32PeerTest, ModelChangesReachTheControls) {
  form->CB1.SetChecked(false);
  EXPECT_FALSE(IsChecked(Handle(form->CB1)));
  form->E1.SetText("1234");
  EXPECT_EQ(Text(form->E1), L"1234");
  form->ComB2.SetText("7");
  EXPECT_EQ(Text(form->ComB2), L"7");
  EXPECT_EQ(::SendMessageW(Handle(form->ComB2), CB_GETCURSEL, 0, 0), 6);
  form->RG1.SetItemIndex(1);
  EXPECT_TRUE(IsChecked(peer->ItemsOf(form->RG1)[1]));
  form->B1.SetEnabled(false);
  EXPECT_FALSE(::IsWindowEnabled(Handle(form->B1)));
  form->SB1.SetSimpleText("x");
  EXPECT_EQ(StatusText(Handle(form->SB1)), L"x");
}

TEST_F(Win32PeerTest, TypingGoesThroughTheModelsLimit) {
  HWND e1 = Handle(form->E1);
  ::SendMessageW(e1, EM_SETSEL, 0, -1);
  for (wchar_t typed : {L'9', L'9', L'9', L'9'})
    PressKey(e1, typed, typed);
  EXPECT_EQ(form->E1.Text(), "999");
  EXPECT_EQ(Text(e1), L"999");
  // Text that bypasses the native limit, as a paste would, is refused by the model.
  ::SetWindowTextW(e1, L"1234");
  EXPECT_EQ(form->E1.Text(), "999");
  EXPECT_EQ(Text(e1), L"999");
}

TEST_F(Win32PeerTest, TypingIntoAComboBoxIsLimitedAndPickingIsNot) {
  HWND combo = Handle(form->ComB2);
  form->ComB2.SetEnabled(true);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ::GetComboBoxInfo(combo, &info);
  ::SendMessageW(info.hwndItem, EM_SETSEL, 0, -1);
  PressKey(info.hwndItem, '5', L'5');
  PressKey(info.hwndItem, '6', L'6');
  EXPECT_EQ(form->ComB2.Text(), "5");
  ::SendMessageW(combo, CB_SETCURSEL, 9, 0);
  ::SendMessageW(peer->Panel(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
  EXPECT_EQ(form->ComB2.Text(), "10");
  EXPECT_EQ(Text(combo), L"10");
}

TEST_F(Win32PeerTest, AnArrowKeyInAnEditStepsItsSpinnerInTheModel) {
  HWND e1 = Handle(form->E1);
  PressKey(e1, VK_UP, 0);
  EXPECT_EQ(form->E1.Text(), "201");
  EXPECT_EQ(Text(e1), L"201");
  EXPECT_EQ(::SendMessageW(Handle(form->UD1), UDM_GETPOS32, 0, 0), 201);
}

TEST_F(Win32PeerTest, TheSpinnersArrowsStepTheModel) {
  NMUPDOWN change{};
  change.hdr.hwndFrom = Handle(form->UD6);
  change.hdr.code = UDN_DELTAPOS;
  change.iPos = 90;
  change.iDelta = 1;
  const LRESULT cancelled =
      ::SendMessageW(peer->Panel(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
  EXPECT_TRUE(cancelled);
  EXPECT_EQ(form->E6.Text(), "91");
  change.iDelta = -1;
  ::SendMessageW(peer->Panel(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&change));
  EXPECT_EQ(form->E6.Text(), "90");
}

TEST_F(Win32PeerTest, TheBrowserListsShowTheModelsEntriesAndTheFolderTreeIsIndented) {
  HWND folders = Handle(form->DLB1);
  ASSERT_GT(form->DLB1.Items().size(), 0u);
  ASSERT_EQ(::SendMessageW(folders, LB_GETCOUNT, 0, 0),
            static_cast<LRESULT>(form->DLB1.Items().size()));
  for (int i = 0; i < static_cast<int>(form->DLB1.Items().size()); ++i) {
    wchar_t text[MAX_PATH] = {};
    ::SendMessageW(folders, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(std::wstring(text), win32::WidenAnsi(form->DLB1.DisplayText(i))) << i;
  }
  EXPECT_EQ(::SendMessageW(folders, LB_GETCURSEL, 0, 0), form->DLB1.ItemIndex());
  EXPECT_EQ(::SendMessageW(folders, LB_GETITEMHEIGHT, 0, 0), 16);
  EXPECT_TRUE(::GetWindowLongPtrW(folders, GWL_STYLE) & LBS_OWNERDRAWFIXED);
  HWND drives = Handle(form->DCB1);
  EXPECT_EQ(::SendMessageW(drives, CB_GETCOUNT, 0, 0),
            static_cast<LRESULT>(form->DCB1.Items().size()));
  EXPECT_EQ(::SendMessageW(drives, CB_GETCURSEL, 0, 0), form->DCB1.ItemIndex());
  EXPECT_EQ(::SendMessageW(Handle(form->FLB1), LB_GETCOUNT, 0, 0), form->FLB1.Count());
  // The file rows keep the font's own line height, at least the designed 12
  // pixels, so underscores in file names are not cut off.
  EXPECT_GE(::SendMessageW(Handle(form->FLB1), LB_GETITEMHEIGHT, 0, 0), 12);
}

// Picking another drive in the native box moves the model there, and the
// folder and file lists, native and model, follow it.
TEST_F(Win32PeerTest, PickingADriveMovesTheListsToIt) {
  wchar_t saved[MAX_PATH] = {};
  ::GetCurrentDirectoryW(MAX_PATH, saved);
  const std::string before = form->DCB1.Drive();
  int other = -1;
  for (int i = 0; i < static_cast<int>(form->DCB1.Items().size()) && other < 0; ++i) {
    const std::string& key = form->DCB1.Items()[i].key;
    // Wine's c: is its prefix, z: the Linux root; both can be entered.
    if ((key == "c" || key == "z") && key != before)
      other = i;
  }
  ASSERT_GE(other, 0) << "Wine gives a second drive to pick";
  const std::string key = form->DCB1.Items()[other].key;

  HWND drives = Handle(form->DCB1);
  ::SendMessageW(drives, CB_SETCURSEL, static_cast<WPARAM>(other), 0);
  ::SendMessageW(peer->Panel(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(drives));
  const std::string folder = form->DLB1.Directory();
  ::SetCurrentDirectoryW(saved);

  EXPECT_EQ(form->DCB1.Drive(), key);
  EXPECT_EQ(::SendMessageW(drives, CB_GETCURSEL, 0, 0), other);
  EXPECT_EQ(form->DLB1.Drive(), key) << folder;
  EXPECT_EQ(form->FLB1.Directory(), folder);
  HWND folders = Handle(form->DLB1);
  ASSERT_EQ(::SendMessageW(folders, LB_GETCOUNT, 0, 0),
            static_cast<LRESULT>(form->DLB1.Items().size()));
  wchar_t first[MAX_PATH] = {};
  ::SendMessageW(folders, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(first));
  EXPECT_EQ(std::wstring(first), win32::WidenAnsi(form->DLB1.DisplayText(0)));
  EXPECT_EQ(::SendMessageW(Handle(form->FLB1), LB_GETCOUNT, 0, 0), form->FLB1.Count());
}

}  // namespace
}  // namespace vorzik::ui
