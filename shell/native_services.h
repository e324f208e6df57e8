#pragma once

#include <memory>

#include "pipeline/stage_files.h"
#include "pipeline/stage_runner.h"
#include "shell/power/power_api.h"
#include "shell/power/sleep_inhibitor.h"
#include "ui/browser/browser_queries.h"
#include "ui/form_services.h"

namespace vorzik::shell {

/// The platform's own services a running program gives its window: the
/// browser's queries, the file system, the stage runner whose pump keeps the
/// window live, the power action and the sleep inhibitor, whose interfaces
/// are made on first use, and the end of the program after a stop signal.
class NativeServices {
 public:
  explicit NativeServices(EventPump pump);
  NativeServices(const NativeServices&) = delete;
  NativeServices& operator=(const NativeServices&) = delete;

  /// The window's services. They hold no pointer to the window: the power
  /// action is handed the close of the window that runs it.
  ui::FormServices ForWindow();
  /// The browser's queries, for what the program entry hands them before the
  /// window reads its first folder.
  ui::BrowserQueries& BrowserQueries() { return *browserQueries_; }

 private:
  std::unique_ptr<ui::BrowserQueries> browserQueries_;
  std::unique_ptr<StageFiles> stageFiles_;
  std::unique_ptr<StageRunner> runner_;
  std::unique_ptr<PowerApi> power_;
  std::unique_ptr<SleepInhibitor> awake_;
};

}  // namespace vorzik::shell
