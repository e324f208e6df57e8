#pragma once

#include <string>

#include "shell/power/power_api.h"

namespace vorzik::shell {

/// PowerApi on Linux: systemd-logind, asked over D-Bus without asking the
/// user (interactive false), so no polkit dialog comes up at the end of a
/// batch that may run unattended.
class LogindPowerApi : public PowerApi {
 public:
  /// Talks to logind on the bus at busAddress only. An empty or unreachable
  /// address makes every power request fail; there is no fallback bus.
  explicit LogindPowerApi(const std::string& busAddress);
  ~LogindPowerApi() override;
  LogindPowerApi(const LogindPowerApi&) = delete;
  LogindPowerApi& operator=(const LogindPowerApi&) = delete;

  bool PowerOff() override;
  bool Hibernate() override;

 private:
  struct SystemBus {};
  explicit LogindPowerApi(SystemBus);
  friend std::unique_ptr<PowerApi> MakeSystemPowerApi();

  bool CallManager(const char* method);

  std::string connectionName_;
};

}  // namespace vorzik::shell
