// Program entry: one instance at a time, found by the application title; the
// running instance shows the one window until it is closed. The command line
// is read before the toolkit starts, so --help works without a display.

#include <stdlib.h>

#include <QApplication>
#include <QDBusConnection>
#include <QDirIterator>
#include <QIcon>
#include <QWidget>
#include <filesystem>
#include <iostream>
#include <string>

#include "pipeline/cli/version_text.h"
#include "shell/instance_finder.h"
#include "shell/native_services.h"
#include "shell/program_start.h"
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

// The icon the program carries, in every size it was rendered at.
QIcon WindowIcon() {
  QIcon icon;
  QDirIterator files(":/icons", {"*.png"}, QDir::Files, QDirIterator::Subdirectories);
  while (files.hasNext())
    icon.addFile(files.next());
  return icon;
}

// Answers the command line. Returns the exit status when the program ends
// here, or -1 when the window is to open (in the folder asked for).
int AnswerCommandLine(int argc, char** argv) {
  using vorzik::shell::ProgramArguments;
  ProgramArguments arguments;
  const std::string error =
      vorzik::shell::ParseProgramArguments({argv + 1, argv + argc}, arguments);
  if (!error.empty()) {
    std::cerr << "vorzik: " << error << "\nTry 'vorzik --help' for more information.\n";
    return 2;
  }
  switch (arguments.action) {
    case ProgramArguments::Action::Help:
      std::cout << vorzik::shell::kProgramUsage;
      return 0;
    case ProgramArguments::Action::Version:
      std::cout << vorzik::VersionText("vorzik");
      return 0;
    case ProgramArguments::Action::Run:
      break;
  }
  if (arguments.folder) {
    const std::string folderError = vorzik::shell::EnterStartFolder(*arguments.folder);
    if (!folderError.empty()) {
      std::cerr << "vorzik: " << folderError << "\n";
      return 2;
    }
  }
  if (!vorzik::shell::DisplayReachable()) {
    std::cerr << "vorzik: no display to open the window on: "
                 "neither DISPLAY nor WAYLAND_DISPLAY names one that can be reached\n";
    return 1;
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vorzik;
  if (const int status = AnswerCommandLine(argc, argv); status >= 0)
    return status;
  // Read before the toolkit takes it out of the environment.
  const char* startupId = getenv("DESKTOP_STARTUP_ID");
  const std::string launcherStartup = startupId ? startupId : "";
  // The toolkit sees no argument: a folder named like one of its own options
  // must not be taken for it.
  int toolkitArgc = 1;
  QApplication app(toolkitArgc, argv);
  QGuiApplication::setDesktopFileName(VORZIK_APP_ID);
  QApplication::setWindowIcon(WindowIcon());
  LeaveSessionBusUnstarted();

  auto finder = shell::MakeInstanceFinder();
  if (shell::BringRunningInstanceForward(*finder, shell::kApplicationTitle)) {
    // The launcher waits for a window of ours that will not come.
    shell::EndStartupNotification(launcherStartup);
    return 0;
  }

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
  peer.Window()->setWindowIcon(QApplication::windowIcon());
  finder->SetMainWindow(applicationWindowId, static_cast<shell::WindowId>(peer.Window()->winId()));
  peer.Show();
  app.exec();
  return 0;
}
