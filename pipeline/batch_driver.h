#pragma once

#include <string>
#include <vector>

#include "pipeline/option_fragments.h"
#include "pipeline/path_style.h"
#include "pipeline/stage_chain.h"
#include "pipeline/stage_files.h"
#include "pipeline/stage_runner.h"

namespace vorzik {

/// What a batch sees of the window: the folder list's folder, the file list's
/// cursor, the status bar and the end-of-batch power action.
class BatchWindow {
 public:
  virtual ~BatchWindow() = default;
  virtual std::string FolderPath() = 0;
  // Selecting at or past the end keeps the previous selection.
  virtual void SelectEntry(int index) = 0;
  // Empty when nothing is selected.
  virtual std::string SelectedFullPath() = 0;
  // The full path of every entry, in list order.
  virtual std::vector<std::string> EntryPaths() = 0;
  virtual std::string StatusText() = 0;
  virtual void SetStatusText(const std::string& text) = 0;
  virtual bool AutoExit() = 0;
  virtual void RunPowerAction() = 0;
};

inline constexpr char kNoFilesStatus[] =
    " フォルダ内に有効なファイルがありません。*.mp2 *.mpa *.wav";
inline constexpr char kFailedFilesPrefix[] = " 変換に失敗したファイルがあります（";

/// " 変換に失敗したファイルがあります（N 件）: NAME (TOOL)"
std::string FailedFilesStatus(int count, const std::string& fileName, const std::string& tool);

struct BatchContext {
  BatchWindow& window;
  const StageSwitches& switches;
  StageRunner& runner;
  StageFiles& files;
  const PathStyle& style;
  // The status bar's text from the window's design, which replaces a failure
  // report left by an earlier batch.
  std::string defaultStatusText;
};

struct BatchSummary {
  int processed = 0;
  int failed = 0;
  // The stop signal that ended the batch early; the caller ends the program.
  int stopSignal = 0;
};

/// Converts every entry of the file list in order, then runs the power action
/// when auto exit is ticked (also after a folder without files). A stop
/// signal ends the walk at once, and no power action follows.
BatchSummary RunBatch(const ConversionSettings& settings, std::string& boostSwitch,
                      const BatchContext& context);

}  // namespace vorzik
