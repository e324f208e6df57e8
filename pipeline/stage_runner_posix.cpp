// The POSIX stage runner: a tool found, started, and waited for with the window live.
#include <sched.h>
#include <string.h>
#include <sys/wait.h>

#include <vector>

#include "pipeline/command_line.h"
#include "pipeline/program_search_posix.h"
#include "pipeline/stage_runner.h"
#include "pipeline/stop_signals_posix.h"
#include "pipeline/tool_process_posix.h"

namespace vorzik {

namespace {

class PosixStageRunner final : public StageRunner {
 public:
  explicit PosixStageRunner(EventPump pump) : pump_(std::move(pump)) {}

  StageOutcome RunStage(const std::string& commandLine) override {
    std::vector<std::string> args = SplitCommandLine(commandLine);
    if (args.empty())
      return {StageEnd::NotStarted, -1, "empty command line"};
    std::string program = FindProgram(args.front());
    if (program.empty())
      return {StageEnd::NotStarted, -1, args.front() + ": program not found"};

    StopSignalForwarding forwarding;
    ToolProcess tool(program, args, forwarding);
    if (tool.StartError() != 0) {
      forwarding.Unwatch();  // the child only ends, and may be reaped any moment
      // A stop that came while the tool was starting stops the batch all the same.
      if (const int stopSignal = forwarding.Caught(); stopSignal != 0)
        return {StageEnd::Stopped, stopSignal};
      return {StageEnd::NotStarted, -1, args.front() + ": " + ::strerror(tool.StartError())};
    }
    int status = 0;
    // A busy poll: between two polls only the window's pending events run.
    // Yielding is no wait; it only lets a tool that shares our core go first.
    while (!tool.Poll(status)) {
      if (pump_)
        pump_();
      sched_yield();
    }
    forwarding.Unwatch();  // reaped: its pid may be another's soon
    if (const int stopSignal = forwarding.Caught(); stopSignal != 0)
      return {StageEnd::Stopped, stopSignal};
    if (status >= 0 && WIFEXITED(status))
      return {StageEnd::Exited, WEXITSTATUS(status)};
    if (status >= 0 && WIFSIGNALED(status)) {
      return {StageEnd::Crashed, 128 + WTERMSIG(status),
              "killed by signal " + std::to_string(WTERMSIG(status)) + ", " +
                  ::strsignal(WTERMSIG(status))};
    }
    return {StageEnd::Exited, -1};  // the status could not be read
  }

 private:
  EventPump pump_;
};

}  // namespace

std::unique_ptr<StageRunner> MakeNativeStageRunner(EventPump pump) {
  return std::make_unique<PosixStageRunner>(std::move(pump));
}

}  // namespace vorzik
