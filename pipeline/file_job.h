#pragma once

#include <string>
#include <string_view>

#include "pipeline/path_style.h"

namespace vorzik {

inline constexpr std::string_view kWorkFolderName = "EtcEnc";

/// One source file's paths and the names of its stage files.
struct FileJob {
  std::string sourcePath;
  std::string fileName;
  std::string baseName;
  bool isWav = false;
  std::string workFolder;
  std::string tmp1;
  std::string tmp2;
  std::string tmp3;
  std::string outputPath;
};

/// folder ends in a separator; the work folder is folder + "EtcEnc" + separator.
std::string WorkFolderOf(std::string_view folder, const PathStyle& style);

/// ownName is the name the source is stored under where sourcePath reaches it
/// by its short (8.3) form, else empty.
FileJob MakeFileJob(std::string_view sourcePath, std::string_view folder,
                    std::string_view outputExtension, const PathStyle& style,
                    std::string_view ownName = {});

}  // namespace vorzik
