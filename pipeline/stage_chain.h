#pragma once

#include <string>

#include "pipeline/file_system.h"
#include "pipeline/option_fragments.h"
#include "pipeline/path_style.h"
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
};

struct StageContext {
  const StageSwitches& switches;
  StageRunner& runner;
  FileSystem& files;
  const PathStyle& style;
};

/// A path holding a double quote or a control character cannot be carried by
/// the tools' command lines; nor can one ending in a backslash, which would
/// escape the closing quote. On Windows a "?" or "*" marks a name that lost
/// characters on its way into the ANSI code page: no tool could open it, and
/// a tool that expands wildcards might open another file in its stead.
bool IsSafeToolPath(std::string_view path, const PathStyle& style);

/// Runs the stages for one source file. folder ends in a separator. A source
/// whose path is not safe is refused before anything runs; the result then
/// names the stage that would have carried it first.
FileResult ProcessFile(const std::string& sourcePath, const std::string& folder,
                       const OptionFragments& fragments, const StageContext& context);

}  // namespace vorzik
