#include "pipeline/path_style.h"

namespace vorzik {

const PathStyle& NativePathStyle() {
  return kWindowsPathStyle;
}

}  // namespace vorzik
