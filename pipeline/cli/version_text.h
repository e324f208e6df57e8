#pragma once

#include <string>

namespace vorzik {

/// What `--version` prints for one of the package's commands: its name, the
/// release, and the licence under which it may be passed on.
std::string VersionText(const std::string& command);

}  // namespace vorzik
