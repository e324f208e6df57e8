// The Win32 peer's focus: Enter and Tab walk the model's order; Enter presses
// a focused button; EXIT and the window's close go through the model.

#include "tests/support/skip_without.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/win32/win32_peer_fixture.h"

namespace vorzik::ui {
namespace {

using testing::Win32PeerTest;

TEST_F(Win32PeerTest, EnterInEveryBoundControlFocusesTheNextTabStop) {
  for (Control* c : form->Focus().TabStops())
    c->SetEnabled(true);
  int bound = 0;
  for (Control* c : form->Controls()) {
    if (!c->OnKeyPress)
      continue;
    ++bound;
    form->Focus().SetFocus(c);
    HWND focused = ::GetFocus();
    ASSERT_EQ(peer->ControlOf(focused), c) << c->Name();
    Control* next = form->Focus().NextTabStop(c, true);
    PressKey(focused, VK_RETURN, L'\r');
    EXPECT_EQ(form->Focus().Focused(), next) << c->Name();
    // An editable combo box holds the focus in its edit.
    EXPECT_EQ(peer->ControlOf(::GetFocus()), next) << c->Name();
  }
  EXPECT_EQ(bound, 27);
  EXPECT_EQ(form->E1.Text(), "200");
}

TEST_F(Win32PeerTest, TabAndShiftTabWalkTheModelsOrder) {
  ::SetFocus(peer->HandleOf(form->CB1));
  PressKey(::GetFocus(), VK_TAB, L'\t');
  EXPECT_EQ(form->Focus().Focused(), &form->RG1);
  EXPECT_EQ(::GetFocus(), peer->ItemsOf(form->RG1)[0]);
  PressKey(::GetFocus(), VK_TAB, L'\t');
  EXPECT_EQ(form->Focus().Focused(), &form->CB3);
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  ::SetKeyboardState(keys);
  PressKey(::GetFocus(), VK_TAB, L'\t');
  keys[VK_SHIFT] = 0;
  ::SetKeyboardState(keys);
  EXPECT_EQ(form->Focus().Focused(), &form->RG1);
}

TEST_F(Win32PeerTest, EnterOnAFocusedButtonPressesItAndInAnEditPressesNone) {
  int pressed = 0;
  form->OnEncodeStart = [&pressed](Control&) { ++pressed; };
  ::SetFocus(peer->HandleOf(form->B1));
  PressKey(::GetFocus(), VK_RETURN, L'\r');
  EXPECT_EQ(pressed, 1);
  ::SetFocus(peer->HandleOf(form->E6));
  PressKey(::GetFocus(), VK_RETURN, L'\r');
  EXPECT_EQ(pressed, 1);
  EXPECT_EQ(form->Focus().Focused(), &form->CB8);
}

TEST_F(Win32PeerTest, AnArrowOnARadioItemReachesTheModelAndTheFocusFollowsTheChoice) {
  ::SetFocus(peer->ItemsOf(form->RG2)[0]);
  PressKey(::GetFocus(), VK_UP, 0);
  EXPECT_EQ(form->RG2.ItemIndex(), 2);
  EXPECT_EQ(::GetFocus(), peer->ItemsOf(form->RG2)[2]);
  PressKey(::GetFocus(), VK_RETURN, L'\r');
  EXPECT_EQ(form->RG2.ItemIndex(), 2);
  EXPECT_EQ(form->Focus().Focused(), &form->RG2);
}

TEST_F(Win32PeerTest, ClickingARadioItemGivesItTheFocus) {
  for (RadioGroup* group : {&form->RG1, &form->RG2, &form->RG3}) {
    group->SetEnabled(true);
    const std::vector<HWND>& items = peer->ItemsOf(*group);
    for (HWND item : {items.back(), items.front()}) {
      ::SetFocus(peer->HandleOf(form->CB9));
      ::SendMessageW(item, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(6, 6));
      ::SendMessageW(item, WM_LBUTTONUP, 0, MAKELPARAM(6, 6));
      EXPECT_EQ(::GetFocus(), item) << group->Name();
    }
    PressKey(::GetFocus(), VK_SPACE, L' ');
    EXPECT_EQ(group->ItemIndex(), 0) << group->Name() << ": space keeps the clicked item";
  }
}

TEST_F(Win32PeerTest, ARestoredFocusPutsTheNativeFocusBack) {
  ::SetFocus(peer->HandleOf(form->B1));
  form->B1.SetEnabled(false);
  EXPECT_NE(::GetFocus(), peer->HandleOf(form->B1));
  form->B1.SetEnabled(true);
  form->Focus().Restore(&form->B1);
  EXPECT_EQ(::GetFocus(), peer->HandleOf(form->B1));
}

// While a batch runs the buttons refuse the focus: the form itself takes it,
// no key presses EXIT, and a click on EXIT counts but leaves the focus where
// it was.
TEST_F(Win32PeerTest, DuringABatchNoKeyPressesAButtonAndAClickLeavesItNoFocus) {
  form->SetBatchRunning(true);
  ::SetFocus(peer->HandleOf(form->B1));
  form->Focus().RefuseButtons(true);  // as the batch does on its start
  EXPECT_EQ(::GetFocus(), peer->Window());
  HWND exit = peer->HandleOf(form->B2);
  ::SetFocus(exit);
  EXPECT_EQ(form->Focus().Focused(), nullptr);
  PressKey(exit, VK_RETURN, L'\r');
  PressKey(exit, VK_SPACE, L' ');
  EXPECT_FALSE(form->ClosePending());
  PressKey(peer->Window(), VK_TAB, L'\t');
  EXPECT_EQ(form->Focus().Focused(), &form->CB1);
  ::SendMessageW(exit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(6, 6));
  ::SendMessageW(exit, WM_LBUTTONUP, 0, MAKELPARAM(6, 6));
  win32::DispatchPendingMessages();
  EXPECT_TRUE(form->ClosePending());
  EXPECT_EQ(::GetFocus(), peer->HandleOf(form->CB1));
  form->Focus().RefuseButtons(false);
}

TEST_F(Win32PeerTest, ExitDuringABatchClosesOnlyWhenItEnds) {
  bool destroyed = false;
  peer->OnDestroyed = [&destroyed] { destroyed = true; };
  form->SetBatchRunning(true);
  ::SendMessageW(peer->HandleOf(form->B2), BM_CLICK, 0, 0);
  ::SendMessageW(peer->Window(), WM_CLOSE, 0, 0);
  win32::DispatchPendingMessages();
  EXPECT_FALSE(destroyed);
  EXPECT_TRUE(::IsWindowVisible(peer->Window()));
  form->SetBatchRunning(false);
  win32::DispatchPendingMessages();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(peer->Window(), nullptr);
}

TEST_F(Win32PeerTest, ClosingOutsideABatchDestroysTheWindow) {
  HWND window = peer->Window();
  ::SendMessageW(window, WM_CLOSE, 0, 0);
  win32::DispatchPendingMessages();
  EXPECT_FALSE(::IsWindow(window));
}

TEST(Win32PeerBrowser, EnterInTheFolderListMovesOnAPickedFileIsSelectedAndNamesShowAsStored) {
  if (!std::getenv("DISPLAY"))
    VORZIK_SKIP_WITHOUT("X display for Wine");
  vorzik::testing::TempDir dir;
  ::CreateDirectoryA((dir.path() + "\\sub").c_str(), nullptr);
  vorzik::testing::WriteFile(dir.path() + "\\a.wav", "RIFF");
  vorzik::testing::WriteFile(dir.path() + "\\b.mp2", "");
  vorzik::testing::CurrentDirGuard guard;
  ASSERT_TRUE(::SetCurrentDirectoryA(dir.path().c_str()));
  auto form = testing::MakeTestForm();
  win32::FormPeer peer(*form, nullptr);
  peer.Show();
  const std::string folder = form->DLB1.Directory();
  ASSERT_EQ(form->FLB1.Count(), 2);
  ASSERT_EQ(::SendMessageW(peer.HandleOf(form->FLB1), LB_GETCOUNT, 0, 0), 2);

  const int sub = static_cast<int>(form->DLB1.Items().size()) - 1;
  ::SendMessageW(peer.HandleOf(form->DLB1), LB_SETCURSEL, static_cast<WPARAM>(sub), 0);
  ::SendMessageW(peer.Panel(), WM_COMMAND, MAKEWPARAM(0, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(peer.HandleOf(form->DLB1)));
  EXPECT_EQ(form->DLB1.ItemIndex(), sub);
  ::SetFocus(peer.HandleOf(form->DLB1));
  testing::Win32PeerTest::PressKey(::GetFocus(), VK_RETURN, L'\r');
  EXPECT_EQ(form->Focus().Focused(), &form->FLB1);
  EXPECT_EQ(form->DLB1.Directory(), folder);

  ::SendMessageW(peer.HandleOf(form->FLB1), LB_SETCURSEL, 1, 0);
  ::SendMessageW(peer.Panel(), WM_COMMAND, MAKEWPARAM(0, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(peer.HandleOf(form->FLB1)));
  EXPECT_EQ(form->FLB1.ItemIndex(), 1);
  EXPECT_EQ(form->FLB1.FileName(), folder + "\\b.mp2");
  form->FLB1.SetItemIndex(0);
  EXPECT_EQ(::SendMessageW(peer.HandleOf(form->FLB1), LB_GETCURSEL, 0, 0), 0);

  // A name outside the code page is shown as stored; the batch's path is the
  // short form, which the ANSI functions open.
  const std::wstring korean = L"\uD55C\uAD6D.wav";  // 한국.wav
  HANDLE file = ::CreateFileW((win32::WidenAnsi(folder) + L"\\" + korean).c_str(), GENERIC_WRITE, 0,
                              nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ::CloseHandle(file);
  form->FLB1.Update();
  const auto row = static_cast<int>(::SendMessageW(peer.HandleOf(form->FLB1), LB_FINDSTRINGEXACT,
                                                   static_cast<WPARAM>(-1),
                                                   reinterpret_cast<LPARAM>(korean.c_str())));
  ASSERT_GE(row, 0);
  form->FLB1.SetItemIndex(row);
  EXPECT_EQ(form->FLB1.FileName().find('?'), std::string::npos) << form->FLB1.FileName();
  EXPECT_NE(::GetFileAttributesA(form->FLB1.FileName().c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace vorzik::ui
