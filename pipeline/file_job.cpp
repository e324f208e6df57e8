#include "pipeline/file_job.h"

namespace vorzik {

std::string WorkFolderOf(std::string_view folder, const PathStyle& style) {
  return std::string(folder) + std::string(kWorkFolderName) + style.separator;
}

FileJob MakeFileJob(std::string_view sourcePath, std::string_view folder,
                    std::string_view outputExtension, const PathStyle& style,
                    std::string_view ownName) {
  FileJob job;
  job.sourcePath = std::string(sourcePath);
  // The folder prefix is cut off by length, whatever characters it holds; a
  // path from another folder keeps only its last component.
  if (sourcePath.substr(0, folder.size()) == folder) {
    job.fileName = std::string(sourcePath.substr(folder.size()));
  } else {
    job.fileName = std::string(LastComponent(sourcePath, style));
  }
  job.baseName = job.fileName.size() >= 4 ? job.fileName.substr(0, job.fileName.size() - 4) : "";
  // Exact and case-sensitive: a source named X.WAV is decoded like an MP2.
  job.isWav = job.sourcePath == std::string(folder) + job.baseName + ".wav";
  // A short form's extension is always upper case; its source is judged by its
  // own name, as its twin inside the code page is.
  if (!ownName.empty())
    job.isWav = sourcePath.starts_with(folder) && ownName.ends_with(".wav");
  job.workFolder = WorkFolderOf(folder, style);
  job.tmp1 = job.workFolder + job.baseName + "_TMP1.wav";
  job.tmp2 = job.workFolder + job.baseName + "_TMP2.wav";
  job.tmp3 = job.workFolder + job.baseName + "_TMP3.wav";
  job.outputPath = job.workFolder + job.baseName + std::string(outputExtension);
  return job;
}

}  // namespace vorzik
