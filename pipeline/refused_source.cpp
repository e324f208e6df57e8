// A source refused before any stage ran, charged to the tool that would have
// taken it first.
#include "pipeline/refused_source.h"

#include "pipeline/tool_commands.h"

namespace vorzik {

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

}  // namespace vorzik
