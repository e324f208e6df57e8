#pragma once

#include <memory>

namespace vorzik::shell {

/// Keeps the system from going to sleep on idle while held, so a long batch
/// is not cut short. Where the system offers no such request, Hold does
/// nothing and says nothing.
class SleepInhibitor {
 public:
  virtual ~SleepInhibitor() = default;
  /// Holding twice is holding once.
  virtual void Hold() = 0;
  /// Harmless when nothing is held.
  virtual void Release() = 0;
  virtual bool Held() const = 0;
};

/// The running system's inhibitor; it asks for nothing until the first Hold.
std::unique_ptr<SleepInhibitor> MakeSystemSleepInhibitor();

}  // namespace vorzik::shell
