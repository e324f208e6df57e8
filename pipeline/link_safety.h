// Whether a file's stage files lead back to its source or to the batch.
#pragma once

#include <span>
#include <string>

#include "pipeline/file_job.h"
#include "pipeline/stage_files.h"

namespace vorzik {

/// Why a stage file or output of this job would overwrite or delete a file it
/// must not: the work folder leads back to the source folder (a link to "."
/// carried over from an archive), or one of the names is a link or hard link
/// to the source or to another file of the batch. Empty when none does. A
/// work folder that links elsewhere is the user's choice. folder ends in a
/// separator.
std::string LinkFault(const FileJob& job, const std::string& folder, StageFiles& files,
                      std::span<const BatchFile> batchFiles);

}  // namespace vorzik
