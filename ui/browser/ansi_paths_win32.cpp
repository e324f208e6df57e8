#include "ui/browser/ansi_paths_win32.h"

namespace vorzik::ui {

std::string ToolPathOf(const std::wstring& path, ShortFormLookup shortForm) {
  if (auto exact = ExactAnsi(path))
    return *exact;
  if (auto shortPath = shortForm(path)) {
    if (auto exact = ExactAnsi(*shortPath))
      return *exact;
  }
  return LossyAnsi(path);
}

std::string ToolNameOf(const WIN32_FIND_DATAW& found) {
  if (auto exact = ExactAnsi(found.cFileName))
    return *exact;
  // Empty where the volume keeps no short names.
  if (found.cAlternateFileName[0] != L'\0') {
    if (auto exact = ExactAnsi(found.cAlternateFileName))
      return *exact;
  }
  return LossyAnsi(found.cFileName);
}

}  // namespace vorzik::ui
