#include "pipeline/path_style.h"

namespace vorzik {

const PathStyle& NativePathStyle() {
  return kPosixPathStyle;
}

std::string PathAsDisplayText(std::string_view path) {
  return std::string(path);
}

}  // namespace vorzik
