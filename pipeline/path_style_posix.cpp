#include "pipeline/path_style.h"

namespace vorzik {

const PathStyle& NativePathStyle() {
  return kPosixPathStyle;
}

}  // namespace vorzik
