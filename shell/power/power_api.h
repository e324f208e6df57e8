#pragma once

#include <memory>

namespace vorzik::shell {

/// What the computer can be asked to do at the end of a batch, in the terms
/// of the platform's own power service. Each call only asks: the platform,
/// or a program that refuses to close, may still say no. Results are true
/// when the platform took the request.
class PowerApi {
 public:
  virtual ~PowerApi() = default;

  /// Shuts the system down and switches it off, without forcing any program
  /// to close.
  virtual bool PowerOff() = 0;
  /// Hibernates; returns once the request was refused or, after a
  /// hibernation, on resume.
  virtual bool Hibernate() = 0;
};

/// The implementation that really powers this machine off or hibernates it.
std::unique_ptr<PowerApi> MakeSystemPowerApi();

}  // namespace vorzik::shell
