// Which paths the tools' command lines can carry, and why a path cannot.
#include "pipeline/path_safety.h"

namespace vorzik {

namespace {

// The fault in a path's characters alone, wherever they stand.
PathFault CharacterFault(std::string_view path, const PathStyle& style) {
  for (char c : path) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '"' || byte < 0x20 || byte == 0x7F)
      return PathFault::Uncarried;
    // Neither is a Shift-JIS trail byte, so a byte match is a character match.
    if (style.wildcardsMarkLoss && (c == '?' || c == '*'))
      return PathFault::LostCharacters;
  }
  return PathFault::None;
}

}  // namespace

PathFault ToolPathFault(std::string_view path, const PathStyle& style) {
  PathFault fault = CharacterFault(path, style);
  if (fault == PathFault::None && !path.empty() && path.back() == '\\')
    return PathFault::Uncarried;
  return fault;
}

std::string SourcePathsFault(std::string_view sourcePath, std::string_view folder,
                             const PathStyle& style) {
  PathFault fault = ToolPathFault(sourcePath, style);
  // Every stage file's path is the folder, the work folder's name and a file
  // name: the folder's closing separator never ends a path the tools get, so
  // only its characters count.
  if (fault == PathFault::None)
    fault = CharacterFault(folder, style);
  switch (fault) {
    case PathFault::None:
      return {};
    case PathFault::Uncarried:
      return "the path holds a character the tools' command lines cannot carry";
    case PathFault::LostCharacters:
      return "the path has characters outside the ANSI code page and no short form the tools "
             "could open";
  }
  return {};
}

}  // namespace vorzik
