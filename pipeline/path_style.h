#pragma once

#include <string>
#include <string_view>

namespace vorzik {

/// How paths are spelled on one platform. The pipeline and the browser take
/// the separator and the byte rules from here instead of from #ifdefs, so the
/// Windows examples run as tests on Linux and the Linux program uses "/".
struct PathStyle {
  char separator;
  // Shift-JIS: a lead byte and the byte after it form one character, and that
  // second byte may carry the separator's code without being one.
  bool shiftJis;
  // "D:\" roots; without them the one root is the separator alone.
  bool driveLetters;
  // Windows names never hold "?" or "*": in a path they stand for characters
  // the ANSI code page had no place for, so the path names no real file.
  bool wildcardsMarkLoss;
};

inline constexpr PathStyle kWindowsPathStyle{'\\', true, true, true};
// UTF-8 needs no lead-byte rule; a Shift-JIS rule would swallow the "/" that
// follows a character such as "あ", whose last byte is in the lead-byte range.
inline constexpr PathStyle kPosixPathStyle{'/', false, false, false};

// The style of the platform the program was built for.
const PathStyle& NativePathStyle();

bool IsShiftJisLeadByte(unsigned char c);

// True when a separator character starts at index: with lead bytes honoured,
// the second byte of a double-byte character never counts.
bool IsSeparatorAt(std::string_view path, std::size_t index, const PathStyle& style);

// True when the last character (not the last byte) is the separator.
bool EndsWithSeparator(std::string_view path, const PathStyle& style);

// folder and name joined by exactly one separator: none is added when the
// folder already ends in one.
std::string JoinPath(std::string_view folder, std::string_view name, const PathStyle& style);

// The root a folder path is compared with to tell a drive root from other
// folders: first character + ":\" on Windows, "/" on POSIX.
std::string DriveRootOf(std::string_view folderPath, const PathStyle& style);

// The folder path with a trailing separator, left as it is when it is a root.
std::string FolderWithSeparator(std::string_view folderPath, const PathStyle& style);

// A path as text for the window, whose own texts are UTF-8: a POSIX path is
// UTF-8 already, a Windows path is in the ANSI code page.
std::string PathAsDisplayText(std::string_view path);

// The text after the last separator.
std::string_view LastComponent(std::string_view path, const PathStyle& style);

}  // namespace vorzik
