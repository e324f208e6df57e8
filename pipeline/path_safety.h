// Which paths the tools' command lines can carry, and why a path cannot.
#pragma once

#include <string>
#include <string_view>

#include "pipeline/path_style.h"

namespace vorzik {

/// What keeps a path off the tools' command lines.
enum class PathFault {
  None,
  // A double quote or a control character, which no command line carries,
  // or a closing backslash, which would escape the closing quote.
  Uncarried,
  // On Windows a "?" or "*" marks a name that lost characters on its way into
  // the ANSI code page: no tool could open it, and a tool that expands
  // wildcards might open another file in its stead.
  LostCharacters,
};

/// The fault of a whole path as a tool is handed it.
PathFault ToolPathFault(std::string_view path, const PathStyle& style);

/// Why the tools cannot be handed a source, or the stage files its folder
/// holds (folder ends in a separator); empty when they can.
std::string SourcePathsFault(std::string_view sourcePath, std::string_view folder,
                             const PathStyle& style);

}  // namespace vorzik
