// Program entry: one instance at a time, found by the application title; the
// running instance shows the one window until it is closed.

#include <stdlib.h>

#include <QApplication>
#include <QDBusConnection>
#include <QWidget>
#include <filesystem>
#include <string>

#include "shell/instance_finder.h"
#include "shell/native_services.h"
#include "ui/qt/collation.h"
#include "ui/qt/form_peer.h"
#include "ui/tform1.h"

namespace {

// Whether the D-Bus library would find a session bus without starting one:
// an announced address, or the per-user socket in the runtime folder.
bool SessionBusAnnounced() {
  const char* address = getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address != nullptr && *address != '\0')
    return true;
  const char* runtime = getenv("XDG_RUNTIME_DIR");
  std::error_code ignored;
  return runtime != nullptr && *runtime != '\0' &&
         std::filesystem::exists(std::filesystem::path(runtime) / "bus", ignored);
}

// Without a session bus, the toolkit's accessibility bridge would have the
// D-Bus library start one (dbus-launch) as the window opens, only to find no
// screen reader there. Qt keeps its first answer for the session bus, so it is
// asked once with the start out of reach, and the environment the tools
// inherit is put back as it was.
void LeaveSessionBusUnstarted() {
  if (SessionBusAnnounced())
    return;
  const bool wasSet = getenv("DBUS_SESSION_BUS_ADDRESS") != nullptr;
  setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
  QDBusConnection::sessionBus();
  if (wasSet)
    setenv("DBUS_SESSION_BUS_ADDRESS", "", 1);
  else
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vorzik;
  QApplication app(argc, argv);
  LeaveSessionBusUnstarted();

  auto finder = shell::MakeInstanceFinder();
  if (shell::BringRunningInstanceForward(*finder, shell::kApplicationTitle))
    return 0;

  // The application-level window: created, titled only now that the search is
  // over, and never shown. It is what a later start finds.
  QWidget applicationWindow;
  applicationWindow.setWindowTitle(QString::fromUtf8(shell::kApplicationTitle));
  const auto applicationWindowId = static_cast<shell::WindowId>(applicationWindow.winId());

  // The window stays live while a tool runs: its events are dispatched
  // between the runner's polls.
  shell::NativeServices services([] { QCoreApplication::processEvents(); });
  services.BrowserQueries().SetCollation(ui::qt::UserLocaleCollation());
  ui::TForm1* formPointer = nullptr;
  ui::TForm1 form(services.For(formPointer));
  formPointer = &form;
  ui::qt::FormPeer peer(form);
  finder->SetMainWindow(applicationWindowId, static_cast<shell::WindowId>(peer.Window()->winId()));
  peer.Show();
  app.exec();
  return 0;
}
