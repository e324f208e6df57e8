#pragma once

#include <string>

#include "shell/power/sleep_inhibitor.h"

namespace vorzik::shell {

/// A systemd-logind "sleep" inhibitor lock in "block" mode: logind hands out
/// a file descriptor, and the lock lasts until it is closed. The bus is
/// connected only for the request, so a program that runs no batch never
/// talks to it.
class LogindSleepInhibitor : public SleepInhibitor {
 public:
  /// Asks logind on the bus at busAddress only; an empty or unreachable
  /// address holds nothing. There is no fallback bus.
  explicit LogindSleepInhibitor(std::string busAddress);
  ~LogindSleepInhibitor() override;
  LogindSleepInhibitor(const LogindSleepInhibitor&) = delete;
  LogindSleepInhibitor& operator=(const LogindSleepInhibitor&) = delete;

  void Hold() override;
  void Release() override;
  bool Held() const override { return lock_ >= 0; }

 private:
  struct SystemBus {};
  explicit LogindSleepInhibitor(SystemBus);
  friend std::unique_ptr<SleepInhibitor> MakeSystemSleepInhibitor();

  bool systemBus_ = false;
  std::string busAddress_;
  int lock_ = -1;
};

}  // namespace vorzik::shell
