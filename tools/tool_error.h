#pragma once

#include <stdexcept>
#include <string>

namespace vorzik::tools {

enum class ToolErrorKind { Usage, Runtime };

/// A failure a tool reports in one line and exits on. Usage errors (the command line
/// itself is wrong) get their own exit status so a caller can tell them from bad audio.
class ToolError : public std::runtime_error {
 public:
  ToolError(ToolErrorKind kind, const std::string& message)
      : std::runtime_error(message), kind_(kind) {}
  ToolErrorKind Kind() const { return kind_; }

 private:
  ToolErrorKind kind_;
};

inline ToolError UsageError(const std::string& message) {
  return ToolError(ToolErrorKind::Usage, message);
}
inline ToolError RuntimeError(const std::string& message) {
  return ToolError(ToolErrorKind::Runtime, message);
}

constexpr int kExitRuntimeError = 1;
constexpr int kExitUsageError = 2;

}  // namespace vorzik::tools
