// Program entry: one instance at a time, found by the application title; the
// running instance shows the one window until it is closed.

#include <QApplication>
#include <QWidget>

#include "shell/instance_finder.h"
#include "shell/native_services.h"
#include "ui/qt/collation.h"
#include "ui/qt/form_peer.h"
#include "ui/tform1.h"

int main(int argc, char** argv) {
  using namespace vorzik;
  QApplication app(argc, argv);

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
