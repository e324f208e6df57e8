#pragma once

#include <string>

#include "shell/power/power_api.h"

namespace vorzik::shell {

/// PowerApi on Linux: the token steps have nothing to do and succeed, the
/// platform reads as NT, and the power requests go to systemd-logind over
/// D-Bus without asking the user (interactive false).
class LogindPowerApi : public PowerApi {
 public:
  /// Talks to logind on the bus at busAddress only. An empty or unreachable
  /// address makes every power request fail; there is no fallback bus.
  explicit LogindPowerApi(const std::string& busAddress);
  ~LogindPowerApi() override;
  LogindPowerApi(const LogindPowerApi&) = delete;
  LogindPowerApi& operator=(const LogindPowerApi&) = delete;

  bool GetVersionExA(OsVersionInfo& info) override;
  ProcessHandle GetCurrentProcess() override;
  bool OpenProcessToken(ProcessHandle process, std::uint32_t desiredAccess,
                        TokenHandle& token) override;
  bool LookupPrivilegeValueA(const char* systemName, const char* name, Luid& luid) override;
  bool AdjustTokenPrivileges(TokenHandle token, bool disableAllPrivileges,
                             const TokenPrivileges& newState, std::uint32_t bufferLength,
                             TokenPrivileges* previousState, std::uint32_t* returnLength) override;
  /// Flags 1 and 8 both power off; any other flags are refused.
  bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) override;
  /// suspend false hibernates, true suspends.
  bool SetSystemPowerState(bool suspend, bool force) override;
  bool CloseHandle(TokenHandle token) override;

 private:
  struct SystemBus {};
  explicit LogindPowerApi(SystemBus);
  friend std::unique_ptr<PowerApi> MakeSystemPowerApi();

  bool CallManager(const char* method);

  std::string connectionName_;
};

}  // namespace vorzik::shell
