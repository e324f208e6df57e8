#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vorzik::shell {

/// What the Linux program was asked to do by its command line.
struct ProgramArguments {
  enum class Action { Run, Help, Version };
  Action action = Action::Run;
  /// The folder the browser opens on; none for the current folder.
  std::optional<std::string> folder;
};

/// Parses the Linux program's arguments (without the program name). Returns
/// an error text, empty on success.
std::string ParseProgramArguments(const std::vector<std::string>& args, ProgramArguments& parsed);

extern const char kProgramUsage[];

/// Makes `folder` the current folder, where the browser opens, as choosing it
/// in the browser would. Returns an error text, empty on success.
std::string EnterStartFolder(const std::string& folder);

/// Whether the window system the toolkit will pick can be reached (an X
/// display or a Wayland compositor), so the window can open at all.
bool DisplayReachable();

/// Ends the desktop's startup notification for this start (the launcher's
/// busy cursor) when no window of ours will end it: a second start that only
/// brings the running window forward. `id` is DESKTOP_STARTUP_ID as the
/// program was given it; nothing happens without one.
void EndStartupNotification(const std::string& id);

}  // namespace vorzik::shell
