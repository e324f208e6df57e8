#pragma once

#include <functional>
#include <memory>
#include <string>

namespace vorzik {

/// How a tool's run ended. The exit code is reported for logs and tests; the
/// pipeline does not rely on it, since the real tools' codes are unknown.
struct StageOutcome {
  bool started = false;
  int exitCode = -1;
  std::string error;  // why the start failed
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

/// The platform's runner: the program is found beside our own executable,
/// then in the current folder, then on the search path; the tool runs in the
/// current folder; pump is called between polls for as long as it runs.
std::unique_ptr<StageRunner> MakeNativeStageRunner(EventPump pump);

}  // namespace vorzik
