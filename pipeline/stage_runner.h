#pragma once

#include <functional>
#include <memory>
#include <string>

namespace vorzik {

/// How a tool's run ended: what a caller switches on.
enum class StageEnd {
  // The program was not found or could not be started; nothing ran.
  NotStarted,
  // The tool ended by itself, with an exit code of its own.
  Exited,
  // The tool was ended by a signal (POSIX) or by an exception code,
  // 0xC0000000 and above, as the Windows loader and C runtime report a crash:
  // whatever it wrote is no result.
  Crashed,
  // SIGINT, SIGTERM or SIGHUP reached us while the tool ran: it was passed on
  // to the tool, which has ended since, by itself or by the signal.
  Stopped,
};

/// A tool's run: how it ended, and the detail beside it. The exit code is
/// reported for logs and tests; the pipeline does not rely on it, since the
/// real tools' codes are unknown.
struct StageOutcome {
  StageEnd end = StageEnd::NotStarted;
  // Exited: the tool's exit code, -1 where it could not be read. Crashed:
  // 128 + the signal (POSIX), or the exception code (Windows). Stopped: the
  // stop signal. NotStarted: -1.
  int code = -1;
  // NotStarted: why the start failed. Crashed: how the tool crashed.
  std::string detail = {};
};

/// Starts one outside tool with a complete command line and returns when it
/// has ended.
class StageRunner {
 public:
  virtual ~StageRunner() = default;
  virtual StageOutcome RunStage(const std::string& commandLine) = 0;
};

/// Called between polls while a tool runs, so the window stays live.
using EventPump = std::function<void()>;

/// The platform's runner: the tool runs in the current folder; pump is called
/// between polls for as long as it runs. On Windows the system's own program
/// search applies. On POSIX the program is found beside our own executable,
/// then on the search path, never in the current folder: that is the data
/// folder, and a stick whose every file is executable must not supply
/// programs. There a stop signal is passed on to the running tool, and the
/// tool is ended when we are.
std::unique_ptr<StageRunner> MakeNativeStageRunner(EventPump pump);

/// Ends the program the way stopSignal would have ended it, once the caller
/// has cleaned up after a stopped tool.
[[noreturn]] void EndAfterStop(int stopSignal);

}  // namespace vorzik
