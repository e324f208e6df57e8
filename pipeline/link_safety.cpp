// Whether a file's stage files lead back to its source or to the batch.
#include "pipeline/link_safety.h"

namespace vorzik {

std::string LinkFault(const FileJob& job, const std::string& folder, StageFiles& files,
                      std::span<const BatchFile> batchFiles) {
  // A trailing "." names the folder itself on both platforms, roots included.
  if (files.Identify(job.workFolder + ".").SameAs(files.Identify(folder + ".")))
    return "the work folder " + std::string(kWorkFolderName) + " leads back to the source folder";
  FileIdentity source = files.Identify(job.sourcePath);
  for (const std::string* path : {&job.tmp1, &job.tmp2, &job.tmp3, &job.outputPath}) {
    FileIdentity target = files.Identify(*path);
    if (target.SameAs(source))
      return "the stage file " + *path + " is the source file itself";
    for (const BatchFile& other : batchFiles) {
      // A file of the batch deleted meanwhile frees its number, which a new
      // stage file may then get: only a file still there is protected.
      if (target.SameAs(other.identity) && files.Identify(other.path).SameAs(other.identity))
        return "the stage file " + *path + " is another file of the batch";
    }
  }
  return {};
}

}  // namespace vorzik
