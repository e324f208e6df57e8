#include "pipeline/batch_driver.h"

#include "pipeline/file_job.h"

namespace vorzik {

std::string FailedFilesStatus(int count, const std::string& fileName, const std::string& tool) {
  std::string text = kFailedFilesPrefix + std::to_string(count) + " 件）: " + fileName;
  if (!tool.empty())
    text += " (" + tool + ")";
  return text;
}

BatchSummary RunBatch(const ConversionSettings& settings, std::string& boostSwitch,
                      const BatchContext& context) {
  BatchWindow& window = context.window;
  BatchSummary summary;
  OptionFragments fragments = BuildOptionFragments(settings, boostSwitch);
  const std::string folder = FolderWithSeparator(window.FolderPath(), context.style);

  window.SelectEntry(0);
  std::string current = window.SelectedFullPath();
  std::string next;
  if (current.empty()) {
    window.SetStatusText(kNoFilesStatus);
  } else {
    context.files.CreateFolder(folder + std::string(kWorkFolderName));
    std::vector<BatchFile> batchFiles;
    for (const std::string& path : window.EntryPaths())
      batchFiles.push_back({path, context.files.Identify(path)});
    std::string firstFailedName, firstFailedTool;
    // Moving the selection past the last entry keeps it there, so the walk
    // ends when the path read after a step repeats.
    for (int k = 0; current != next;) {
      window.SelectEntry(k);
      current = window.SelectedFullPath();
      FileResult result =
          ProcessFile(current, folder, fragments,
                      {context.switches, context.runner, context.files, context.style, batchFiles});
      ++summary.processed;
      if (!result.ok && summary.failed++ == 0) {
        firstFailedName = MakeFileJob(current, folder, "", context.style).fileName;
        firstFailedTool = result.failedTool;
      }
      if (result.stopSignal != 0) {
        summary.stopSignal = result.stopSignal;
        break;
      }
      window.SelectEntry(++k);
      next = window.SelectedFullPath();
    }
    if (summary.failed > 0) {
      window.SetStatusText(
          FailedFilesStatus(summary.failed, PathAsDisplayText(firstFailedName), firstFailedTool));
    } else if (window.StatusText().rfind(kFailedFilesPrefix, 0) == 0) {
      window.SetStatusText(context.defaultStatusText);
    }
  }
  // A stopped batch is no finished one: the computer stays on.
  if (window.AutoExit() && summary.stopSignal == 0)
    window.RunPowerAction();
  return summary;
}

}  // namespace vorzik
