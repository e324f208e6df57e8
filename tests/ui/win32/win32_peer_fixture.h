#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "tests/support/skip_without.h"
#include "tests/ui/test_form.h"
#include "ui/win32/form_peer.h"
#include "ui/win32/message_pump.h"
#include "ui/win32/text.h"

namespace vorzik::ui::testing {

/// A form with its Win32 peer, shown.
class Win32PeerTest : public ::testing::Test {
 public:
  /// A key as the message loop hands it over: the key-down, then its character.
  static void PressKey(HWND handle, WPARAM virtualKey, wchar_t typed) {
    ::SendMessageW(handle, WM_KEYDOWN, virtualKey, 1);
    if (typed)
      ::SendMessageW(handle, WM_CHAR, typed, 1);
    ::SendMessageW(handle, WM_KEYUP, virtualKey, 1);
  }

 protected:
  void SetUp() override {
    // Wine draws windows on an X server; without one focus and activation do
    // not work, so the whole suite waits for a run that has one.
    if (!std::getenv("DISPLAY"))
      VORZIK_SKIP_WITHOUT("X display for Wine");
    form = MakeTestForm();
    peer = std::make_unique<win32::FormPeer>(*form, nullptr);
    peer->Show();
    ::SetForegroundWindow(peer->Window());
    win32::DispatchPendingMessages();
  }
  void TearDown() override {
    peer.reset();
    form.reset();
    win32::DispatchPendingMessages();
  }

  HWND Handle(const Control& control) const {
    HWND handle = peer->HandleOf(control);
    EXPECT_NE(handle, nullptr) << control.Name();
    return handle;
  }

  static std::wstring Text(HWND handle) {
    wchar_t buffer[512] = {};
    ::GetWindowTextW(handle, buffer, 512);
    return buffer;
  }
  std::wstring Text(const Control& control) const { return Text(Handle(control)); }

  bool IsChecked(HWND handle) const {
    return ::SendMessageW(handle, BM_GETCHECK, 0, 0) == BST_CHECKED;
  }

  std::unique_ptr<TForm1> form;
  std::unique_ptr<win32::FormPeer> peer;
};

}  // namespace vorzik::ui::testing
