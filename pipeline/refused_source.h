// A source refused before any stage ran, charged to the tool that would have
// taken it first.
#pragma once

#include <string>

#include "pipeline/file_job.h"
#include "pipeline/stage_chain.h"

namespace vorzik {

/// The failed result of a source nothing ran for: the reason, and the stage
/// and tool whose command line would have carried the source first under the
/// switches, so the batch's report names a tool as for any other failure.
/// With every switch off a WAV names none.
FileResult RefusedSource(const FileJob& job, const StageSwitches& sw, std::string reason);

}  // namespace vorzik
