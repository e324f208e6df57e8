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

TEST_F(Win32PeerTest, EnterInE5GoesToCB2AndSkipsSwitchedOffControls) {
  form->CB7.SetChecked(true);
  form->E5.SetEnabled(true);
  ::SetFocus(peer->HandleOf(form->E5));
  EXPECT_EQ(form->Focus().Focused(), &form->E5);
  PressKey(::GetFocus(), VK_RETURN, L'\r');
  EXPECT_EQ(::GetFocus(), peer->HandleOf(form->CB2));
  form->E5.SetEnabled(false);
  ::SetFocus(peer->HandleOf(form->CB7));
  PressKey(::GetFocus(), VK_RETURN, L'\r');
  EXPECT_EQ(form->Focus().Focused(), &form->CB2);
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

TEST_F(Win32PeerTest, EnterOnAFocusedRadioItemDoesNothing) {
  ::SetFocus(peer->ItemsOf(form->RG2)[0]);
  PressKey(::GetFocus(), VK_RETURN, L'\r');
  EXPECT_EQ(form->Focus().Focused(), &form->RG2);
  EXPECT_EQ(form->RG2.ItemIndex(), 0);
}

TEST_F(Win32PeerTest, ArrowsOnARadioItemChooseTheNextItemRoundTheGroup) {
  ::SetFocus(peer->ItemsOf(form->RG2)[0]);
  PressKey(::GetFocus(), VK_DOWN, 0);
  EXPECT_EQ(form->RG2.ItemIndex(), 1);
  EXPECT_TRUE(form->CB10.Enabled()) << "choosing AC3 ran the encoder rule";
  EXPECT_EQ(::GetFocus(), peer->ItemsOf(form->RG2)[1]);
  PressKey(::GetFocus(), VK_RIGHT, 0);
  PressKey(::GetFocus(), VK_DOWN, 0);
  EXPECT_EQ(form->RG2.ItemIndex(), 0) << "past the last item comes the first";
  PressKey(::GetFocus(), VK_UP, 0);
  EXPECT_EQ(form->RG2.ItemIndex(), 2);
  EXPECT_TRUE(form->ComB4.Enabled());
  EXPECT_EQ(form->Focus().Focused(), &form->RG2);
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

TEST(Win32PeerBrowser, EnterInTheFolderListMovesOnWithoutOpeningAndAPickedFileIsSelected) {
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
}

}  // namespace
}  // namespace vorzik::ui
