#include <windows.h>

#include "pipeline/ansi_text_win32.h"
#include "pipeline/path_style.h"

namespace vorzik {

const PathStyle& NativePathStyle() {
  return kWindowsPathStyle;
}

std::string PathAsDisplayText(std::string_view path) {
  return Utf8Of(WideOf(path));
}

}  // namespace vorzik
