// Program entry: one instance at a time, found by the application title; the
// running instance shows the one window until it is closed.

#include <QApplication>
#include <QWidget>

#include "shell/instance_finder.h"
#include "ui/browser/file_system_queries.h"
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

  auto fileSystem = ui::MakeNativeFileSystemQueries();
  ui::TForm1 form(ui::FormServices{.browserFs = *fileSystem});
  ui::qt::FormPeer peer(form);
  finder->SetMainWindow(applicationWindowId, static_cast<shell::WindowId>(peer.Window()->winId()));
  peer.Show();
  app.exec();
  return 0;
}
