// One source file through the stages: checked, then each stage run in turn.
#pragma once

#include <span>
#include <string>

#include "pipeline/option_fragments.h"
#include "pipeline/path_style.h"
#include "pipeline/stage_files.h"
#include "pipeline/stage_runner.h"

namespace vorzik {

/// The stage switches, asked at the moment a step needs them, so that a
/// change made while a tool runs reaches the very next step.
class StageSwitches {
 public:
  virtual ~StageSwitches() = default;
  virtual bool Filter() const = 0;
  virtual int FilterVariant() const = 0;
  virtual bool Normalise() const = 0;
  virtual bool Encode() const = 0;
  virtual bool DeleteIntermediate() const = 0;
};

enum class Stage { None, Decode, Filter, Normalise, Encode };

const char* StageName(Stage stage);

/// The outcome of one file: the first stage that failed and why. Later stages
/// still run on the expected names after a failure.
struct FileResult {
  bool ok = true;
  Stage failedStage = Stage::None;
  std::string failedTool;
  std::string reason;
  // The stop signal that ended a tool of this file; nothing ran after it.
  int stopSignal = 0;
};

struct StageContext {
  const StageSwitches& switches;
  StageRunner& runner;
  StageFiles& files;
  const PathStyle& style;
  // Every file of the running batch, which no stage file may lead to.
  std::span<const BatchFile> batchFiles = {};
};

/// Runs the stages for one source file. folder ends in a separator. A source
/// whose path is not safe, or that is no longer a regular file, is refused
/// before anything runs; so is one whose stage files would overwrite it or
/// another file of the batch, as through a work folder that is a link back to
/// the folder. The result then names the stage that would have carried it
/// first. That check is made again before every stage and deletion: a change
/// fails the file there, and nothing more is run or deleted. A stage whose
/// tool crashed or was stopped leaves no output; after a stop no further stage
/// runs.
FileResult ProcessFile(const std::string& sourcePath, const std::string& folder,
                       const OptionFragments& fragments, const StageContext& context);

}  // namespace vorzik
