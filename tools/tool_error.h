#pragma once

#include <stdexcept>
#include <string>

namespace vorzik::tools {

/// A failure a tool reports in one line and exits on. Usage errors (the command line
/// itself is wrong) get their own exit status so a caller can tell them from bad audio.
class ToolError : public std::runtime_error {
 public:
  enum class Kind { Usage, Runtime };
  ToolError(Kind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
  Kind kind() const { return kind_; }

 private:
  Kind kind_;
};

inline ToolError UsageError(const std::string& message) {
  return ToolError(ToolError::Kind::Usage, message);
}
inline ToolError RuntimeError(const std::string& message) {
  return ToolError(ToolError::Kind::Runtime, message);
}

constexpr int kExitRuntimeError = 1;
constexpr int kExitUsageError = 2;

}  // namespace vorzik::tools
