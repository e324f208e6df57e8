#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "pipeline/path_style.h"

// Name and path rules shared by the drive box, folder list and file list.
// All of them walk characters, not bytes, where the style has double-byte
// characters, so the second byte of such a character is never taken for a
// letter or a separator.
namespace vorzik::ui {

// ASCII letters in lower case; the bytes of double-byte characters untouched.
std::string ToLowerText(std::string_view text, const PathStyle& style);

// Negative, zero or positive as a sorts before, with or after b when letter
// case is ignored.
int CompareIgnoringCase(std::string_view a, std::string_view b, const PathStyle& style);

// Equal names or paths: by case when the volume tells names apart by case.
bool SameName(std::string_view a, std::string_view b, bool caseSensitive, const PathStyle& style);

// "*" any run of characters, "?" one character, letter case ignored. A
// pattern ending in ".*" also takes names without an extension.
bool MatchesWildcard(std::string_view name, std::string_view pattern, const PathStyle& style);

// The mask cut at each ";", in mask order; empty patterns are kept (they find nothing).
std::vector<std::string> SplitMask(std::string_view mask);

// The offsets of the separators of a path, double-byte aware.
std::vector<std::size_t> SeparatorOffsets(std::string_view path, const PathStyle& style);

// The drive part of a folder path: "D:" for D:\rec, "\\server\share" for a
// share path, and empty where paths have one root.
std::string DrivePartOf(std::string_view path, const PathStyle& style);

// True for a path that names a share instead of a drive (\\server\share\...).
bool IsSharePath(std::string_view path, const PathStyle& style);

}  // namespace vorzik::ui
