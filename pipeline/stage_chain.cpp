// One source file through the stages: checked, then each stage run in turn.
#include "pipeline/stage_chain.h"

#include <optional>

#include "pipeline/file_job.h"
#include "pipeline/link_safety.h"
#include "pipeline/path_safety.h"
#include "pipeline/refused_source.h"
#include "pipeline/tool_commands.h"

namespace vorzik {

const char* StageName(Stage stage) {
  switch (stage) {
    case Stage::None:
      return "none";
    case Stage::Decode:
      return "decode";
    case Stage::Filter:
      return "filter";
    case Stage::Normalise:
      return "normalise";
    case Stage::Encode:
      return "encode";
  }
  return "none";
}

namespace {

// Runs one stage and notes the first failure: a tool that could not start or
// crashed, or an output that is missing or was not written during this stage.
// What a crashed or stopped tool wrote is deleted: it is no result. Before
// every stage and every deletion the work folder is checked again, since
// another process may swap it for a link while a tool runs; once it has
// changed, nothing more happens to the file.
class StageSequence {
 public:
  StageSequence(const FileJob& job, const std::string& folder, const StageContext& context)
      : job_(job), folder_(folder), context_(context) {}

  void Run(Stage stage, std::string_view tool, const std::string& commandLine,
           const std::string& output) {
    if (result_.stopSignal != 0 || FolderChanged(stage, tool))
      return;
    FileStamp before = context_.files.Stamp(output);
    StageOutcome outcome = context_.runner.RunStage(commandLine);
    FileStamp after = context_.files.Stamp(output);
    lastOutput_ = output;
    bool written = after.exists && !(before.exists && after == before);
    switch (outcome.end) {
      case StageEnd::NotStarted:
        Fail(stage, tool, outcome.detail.empty() ? "could not be started" : outcome.detail);
        break;
      case StageEnd::Exited:
        if (!result_.ok)
          break;  // only the first failure is told
        if (!after.exists) {
          Fail(stage, tool,
               context_.files.NameTooLong(output)
                   ? "the name of its output file " + output + " is too long for the file system"
                   : "wrote no output file " + output);
        } else if (!written) {
          Fail(stage, tool, "did not write its output file " + output);
        }
        break;
      case StageEnd::Crashed:
        if (written)
          Delete(stage, tool, output);
        Fail(stage, tool, "crashed (" + outcome.detail + ")");
        break;
      case StageEnd::Stopped:
        if (written)
          Delete(stage, tool, output);
        Fail(stage, tool, "stopped by signal " + std::to_string(outcome.code));
        result_.stopSignal = outcome.code;
        break;
    }
  }

  // Deletes a file of the stage that consumed or wrote it, also after a stop.
  void Delete(Stage stage, std::string_view tool, const std::string& path) {
    if (!FolderChanged(stage, tool))
      context_.files.DeleteFile(path);
  }

  const FileResult& Result() const { return result_; }
  // The output of the last stage that ran: the file's result.
  const std::string& LastOutput() const { return lastOutput_; }

 private:
  // True once the work folder is no longer what it was checked to be; that
  // fails the file, unless it failed already, and nothing more happens to it.
  bool FolderChanged(Stage stage, std::string_view tool) {
    if (folderChanged_)
      return true;
    std::string fault = LinkFault(job_, folder_, context_.files, context_.batchFiles);
    if (fault.empty())
      return false;
    folderChanged_ = true;
    Fail(stage, tool, std::move(fault));
    return true;
  }

  // Notes the file's first failure; a later one changes nothing.
  void Fail(Stage stage, std::string_view tool, std::string reason) {
    if (!result_.ok)
      return;
    result_.ok = false;
    result_.failedStage = stage;
    result_.failedTool = std::string(tool);
    result_.reason = std::move(reason);
  }

  const FileJob& job_;
  const std::string& folder_;
  const StageContext& context_;
  FileResult result_;
  bool folderChanged_ = false;
  std::string lastOutput_;
};

}  // namespace

FileResult ProcessFile(const std::string& sourcePath, const std::string& folder,
                       const OptionFragments& fragments, const StageContext& context) {
  const StageSwitches& sw = context.switches;
  const std::optional<std::string> ownName = context.files.OwnNameOf(sourcePath);
  FileJob job = MakeFileJob(sourcePath, folder, fragments.outputExtension, context.style,
                            ownName.value_or(""));
  if (std::string fault = SourcePathsFault(sourcePath, folder, context.style); !fault.empty())
    return RefusedSource(job, sw, std::move(fault));
  if (std::string fault = LinkFault(job, folder, context.files, context.batchFiles); !fault.empty())
    return RefusedSource(job, sw, std::move(fault));
  // The list was read before the batch: what stands at the source's path now
  // may be a FIFO, on which a tool would wait for ever, or a folder or device.
  if (!context.files.Stamp(sourcePath).exists && context.files.Identify(sourcePath).exists)
    return RefusedSource(job, sw, "the source is not a regular file");
  StageSequence stages(job, folder, context);

  if (!job.isWav) {
    stages.Run(Stage::Decode, kBeSweet, DecodeCommand(job.sourcePath, job.tmp1), job.tmp1);
  }
  // The first stage file, or the source itself when it needs no decoding.
  const std::string& decoded = job.isWav ? job.sourcePath : job.tmp1;

  if (sw.Filter()) {
    std::string_view tool = FilterToolName(sw.FilterVariant());
    stages.Run(Stage::Filter, tool, FilterCommand(tool, fragments.filterOptions, decoded, job.tmp2),
               job.tmp2);
    if (sw.DeleteIntermediate() && !job.isWav)
      stages.Delete(Stage::Filter, tool, job.tmp1);
  }

  if (sw.Normalise()) {
    const std::string& input = sw.Filter() ? job.tmp2 : decoded;
    bool inputIsStageFile = &input != &job.sourcePath;
    stages.Run(Stage::Normalise, kNormaliser,
               NormaliseCommand(fragments.normaliseOptions, job.tmp3, input), job.tmp3);
    if (sw.DeleteIntermediate() && inputIsStageFile)
      stages.Delete(Stage::Normalise, kNormaliser, input);
  }

  if (sw.Encode()) {
    const std::string& input = sw.Normalise() ? job.tmp3 : sw.Filter() ? job.tmp2 : decoded;
    bool inputIsStageFile = &input != &job.sourcePath;
    stages.Run(
        Stage::Encode, kBeSweet,
        EncodeCommand(input, job.outputPath, fragments.encoderClause, fragments.noiseGateClause),
        job.outputPath);
    if (sw.DeleteIntermediate() && inputIsStageFile)
      stages.Delete(Stage::Encode, kBeSweet, input);
  }
  // The stage files keep the short form's name; the result, whichever stage
  // wrote it last, is the user's.
  if (ownName && stages.Result().ok && !stages.LastOutput().empty())
    context.files.NameAfterSource(job.sourcePath, stages.LastOutput());
  return stages.Result();
}

}  // namespace vorzik
