// Program entry: one instance at a time, found by the application title; the
// running instance shows the one window until it is closed.

#include <QApplication>
#include <QWidget>

#include "pipeline/file_system.h"
#include "pipeline/stage_runner.h"
#include "shell/instance_finder.h"
#include "shell/power/power_action.h"
#include "shell/power/power_api.h"
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
  auto files = MakeNativeFileSystem();
  // The window stays live while a tool runs: its events are dispatched
  // between the runner's polls.
  auto runner = MakeNativeStageRunner([] { QCoreApplication::processEvents(); });
  std::unique_ptr<shell::PowerApi> power;
  ui::TForm1* formPointer = nullptr;
  auto powerAction = [&](int rg3Index) {
    if (!power)
      power = shell::MakeSystemPowerApi();
    shell::PowerAction(rg3Index, *power, [&] { formPointer->Close(); });
  };
  ui::TForm1 form(ui::FormServices{.browserFs = *fileSystem,
                                   .runner = runner.get(),
                                   .files = files.get(),
                                   .powerAction = powerAction});
  formPointer = &form;
  ui::qt::FormPeer peer(form);
  finder->SetMainWindow(applicationWindowId, static_cast<shell::WindowId>(peer.Window()->winId()));
  peer.Show();
  app.exec();
  return 0;
}
