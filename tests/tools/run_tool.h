#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace vorzik::tools::testing {

struct ToolRun {
  int exitCode = -1;  // -1: did not end normally (a crash)
  std::string errorText;
};

/// Runs one of the built tools (by file name) with the given arguments, as a stage
/// runner would after splitting the command line. A tool still running after
/// `limit` (when one is given) is killed: a crash.
ToolRun RunTool(const std::string& program, const std::vector<std::string>& args,
                std::chrono::milliseconds limit = {});

/// Names in a folder, sorted; tests use it to see that no temporary file stays behind.
std::vector<std::string> ListFolder(const std::string& folder);

}  // namespace vorzik::tools::testing
