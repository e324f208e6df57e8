#include "pipeline/path_style.h"

namespace vorzik {

bool IsShiftJisLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

namespace {

// Calls visit(offset) for the start of every character of path.
template <typename Visit>
void ForEachCharacter(std::string_view path, const PathStyle& style, Visit visit) {
  for (std::size_t i = 0; i < path.size();) {
    visit(i);
    bool pair = style.shiftJis && IsShiftJisLeadByte(static_cast<unsigned char>(path[i])) &&
                i + 1 < path.size();
    i += pair ? 2 : 1;
  }
}

}  // namespace

bool IsSeparatorAt(std::string_view path, std::size_t index, const PathStyle& style) {
  if (index >= path.size() || path[index] != style.separator)
    return false;
  if (!style.shiftJis)
    return true;
  bool found = false;
  ForEachCharacter(path.substr(0, index + 1), style, [&](std::size_t start) {
    if (start == index)
      found = true;
  });
  return found;
}

bool EndsWithSeparator(std::string_view path, const PathStyle& style) {
  return !path.empty() && IsSeparatorAt(path, path.size() - 1, style);
}

std::string JoinPath(std::string_view folder, std::string_view name, const PathStyle& style) {
  std::string joined(folder);
  if (!EndsWithSeparator(folder, style))
    joined += style.separator;
  joined += name;
  return joined;
}

std::string DriveRootOf(std::string_view folderPath, const PathStyle& style) {
  if (!style.driveLetters)
    return std::string(1, style.separator);
  std::string root;
  if (!folderPath.empty())
    root += folderPath.front();
  root += ':';
  root += style.separator;
  return root;
}

std::string FolderWithSeparator(std::string_view folderPath, const PathStyle& style) {
  std::string folder(folderPath);
  if (folder != DriveRootOf(folderPath, style))
    folder += style.separator;
  return folder;
}

std::string_view LastComponent(std::string_view path, const PathStyle& style) {
  std::size_t after = 0;
  ForEachCharacter(path, style, [&](std::size_t start) {
    if (path[start] == style.separator)
      after = start + 1;
  });
  return path.substr(after);
}

}  // namespace vorzik
