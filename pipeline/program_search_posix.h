// Where a tool's program is found: beside our executable, then on PATH.
#pragma once

#include <string>

namespace vorzik {

/// The program a command line's first word names: a path as it is, a bare
/// name beside our executable, then in the absolute folders of PATH. The
/// current folder is the data folder: neither "./" nor an empty or relative
/// PATH entry, which would lead there, is searched. Empty when no executable
/// regular file is found.
std::string FindProgram(const std::string& name);

}  // namespace vorzik
