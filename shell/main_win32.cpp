// Program entry on Windows: one instance at a time, found by the application
// title; the running instance shows the one window until it is closed.

#include <windows.h>

#include <cstdint>

#include "shell/instance_finder.h"
#include "shell/native_services.h"
#include "ui/tform1.h"
#include "ui/win32/form_peer.h"
#include "ui/win32/message_pump.h"

namespace {

constexpr wchar_t kApplicationClass[] = L"VorzikApplication";

// The application-level window: never shown, titled only once the search for
// a running instance is over, and the owner of the main window.
HWND CreateApplicationWindow(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = ::DefWindowProcW;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kApplicationClass;
  ::RegisterClassExW(&windowClass);
  return ::CreateWindowExW(0, kApplicationClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           instance, nullptr);
}

vorzik::shell::WindowId IdOf(HWND window) {
  return static_cast<vorzik::shell::WindowId>(reinterpret_cast<std::uintptr_t>(window));
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  using namespace vorzik;
  auto finder = shell::MakeInstanceFinder();
  if (shell::BringRunningInstanceForward(*finder, shell::kApplicationTitle))
    return 0;

  HWND applicationWindow = CreateApplicationWindow(instance);
  // The title is a byte string in the ANSI code page, as the search compares it.
  ::SetWindowTextA(applicationWindow, shell::kApplicationTitle);

  // The window stays live while a tool runs: its messages are dispatched
  // between the runner's polls.
  shell::NativeServices services([] { ui::win32::DispatchPendingMessages(); });
  ui::TForm1 form(services.ForWindow());
  ui::win32::FormPeer peer(form, applicationWindow);
  peer.OnDestroyed = [] { ::PostQuitMessage(0); };
  finder->SetMainWindow(IdOf(applicationWindow), IdOf(peer.Window()));
  peer.Show();
  ui::win32::RunMessageLoop();
  ::DestroyWindow(applicationWindow);
  return 0;
}
