#include "pipeline/stage_chain.h"

#include <optional>

#include "pipeline/file_job.h"
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

enum class PathFault { None, Uncarried, LostCharacters };

PathFault FaultOf(std::string_view path, const PathStyle& style) {
  for (char c : path) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '"' || byte < 0x20 || byte == 0x7F)
      return PathFault::Uncarried;
    // Neither is a Shift-JIS trail byte, so a byte match is a character match.
    if (style.wildcardsMarkLoss && (c == '?' || c == '*'))
      return PathFault::LostCharacters;
  }
  return path.empty() || path.back() != '\\' ? PathFault::None : PathFault::Uncarried;
}

}  // namespace

bool IsSafeToolPath(std::string_view path, const PathStyle& style) {
  return FaultOf(path, style) == PathFault::None;
}

namespace {

// Why a stage file or output of this job would overwrite or delete a file it
// must not: the work folder leads back to the source folder (a link to "."
// carried over from an archive), or one of the names is a link or hard link
// to the source or to another file of the batch. Empty when none does. A
// work folder that links elsewhere is the user's choice.
std::string WorkFolderFault(const FileJob& job, const std::string& folder,
                            const StageContext& context) {
  FileSystem& files = context.files;
  // A trailing "." names the folder itself on both platforms, roots included.
  if (files.Identify(job.workFolder + ".").SameAs(files.Identify(folder + ".")))
    return "the work folder " + std::string(kWorkFolderName) + " leads back to the source folder";
  FileIdentity source = files.Identify(job.sourcePath);
  for (const std::string* path : {&job.tmp1, &job.tmp2, &job.tmp3, &job.outputPath}) {
    FileIdentity target = files.Identify(*path);
    if (target.SameAs(source))
      return "the stage file " + *path + " is the source file itself";
    for (const FileIdentity& other : context.batchFiles) {
      if (target.SameAs(other))
        return "the stage file " + *path + " is another file of the batch";
    }
  }
  return {};
}

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
    if ((outcome.crashed || outcome.stopSignal != 0) && written)
      Delete(stage, tool, output);
    if (outcome.stopSignal != 0) {
      if (result_.ok)
        Fail(stage, tool, "stopped by signal " + std::to_string(outcome.stopSignal));
      result_.stopSignal = outcome.stopSignal;
      return;
    }
    if (!result_.ok)
      return;
    if (!outcome.started) {
      Fail(stage, tool, outcome.error.empty() ? "could not be started" : outcome.error);
    } else if (outcome.crashed) {
      Fail(stage, tool, "crashed (" + outcome.error + ")");
    } else if (!after.exists) {
      Fail(stage, tool,
           context_.files.NameTooLong(output)
               ? "the name of its output file " + output + " is too long for the file system"
               : "wrote no output file " + output);
    } else if (!written) {
      Fail(stage, tool, "did not write its output file " + output);
    }
  }

  // Deletes a file of the stage that consumed or wrote it, also after a stop.
  void Delete(Stage stage, std::string_view tool, const std::string& path) {
    if (!FolderChanged(stage, tool))
      context_.files.DeleteFile(path);
  }

  const FileResult& result() const { return result_; }
  // The output of the last stage that ran: the file's result.
  const std::string& lastOutput() const { return lastOutput_; }

 private:
  // True once the work folder is no longer what it was checked to be; that
  // fails the file, unless it failed already, and nothing more happens to it.
  bool FolderChanged(Stage stage, std::string_view tool) {
    if (folderChanged_)
      return true;
    std::string fault = WorkFolderFault(job_, folder_, context_);
    if (fault.empty())
      return false;
    folderChanged_ = true;
    if (result_.ok)
      Fail(stage, tool, std::move(fault));
    return true;
  }

  void Fail(Stage stage, std::string_view tool, std::string reason) {
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

// Names the stage whose command line would have carried the path first.
FileResult RefusedSource(const FileJob& job, const StageSwitches& sw, std::string reason) {
  FileResult refused;
  refused.ok = false;
  refused.reason = std::move(reason);
  if (!job.isWav) {
    refused.failedStage = Stage::Decode;
    refused.failedTool = kBeSweet;
  } else if (sw.Filter()) {
    refused.failedStage = Stage::Filter;
    refused.failedTool = FilterToolName(sw.FilterVariant());
  } else if (sw.Normalise()) {
    refused.failedStage = Stage::Normalise;
    refused.failedTool = kNormaliser;
  } else if (sw.Encode()) {
    refused.failedStage = Stage::Encode;
    refused.failedTool = kBeSweet;
  }
  return refused;
}

}  // namespace

FileResult ProcessFile(const std::string& sourcePath, const std::string& folder,
                       const OptionFragments& fragments, const StageContext& context) {
  const StageSwitches& sw = context.switches;
  const std::optional<std::string> ownName = context.files.OwnNameOf(sourcePath);
  FileJob job = MakeFileJob(sourcePath, folder, fragments.outputExtension, context.style,
                            ownName.value_or(""));
  PathFault fault = FaultOf(sourcePath, context.style);
  if (fault == PathFault::None)
    fault = FaultOf(folder + "x", context.style);
  if (fault != PathFault::None) {
    return RefusedSource(job, sw,
                         fault == PathFault::LostCharacters
                             ? "the path has characters outside the ANSI code page and no short "
                               "form the tools could open"
                             : "the path holds a character the tools' command lines cannot carry");
  }
  if (std::string fault = WorkFolderFault(job, folder, context); !fault.empty())
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
  if (ownName && stages.result().ok && !stages.lastOutput().empty())
    context.files.NameAfterSource(job.sourcePath, stages.lastOutput());
  return stages.result();
}

}  // namespace vorzik
