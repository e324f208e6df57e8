#pragma once

#include <string>
#include <vector>

#include "shell/power/power_api.h"

namespace vorzik::shell {

/// A PowerApi that only writes down each call with its arguments, in order,
/// and answers with the results a test sets up. Nothing reaches the system.
class RecordingPowerApi : public PowerApi {
 public:
  // What the fake world looks like.
  bool versionSucceeds = true;
  std::uint32_t platformId = kPlatformWin32Nt;
  bool tokenOpens = true;
  bool lookupSucceeds = true;
  bool adjustSucceeds = true;
  bool exitSucceeds = true;
  bool powerStateSucceeds = true;

  static constexpr ProcessHandle kProcess = 0x51;
  static constexpr TokenHandle kToken = 0x7a;
  static constexpr Luid kLuid{0x1234, 0x56};

  /// Every call so far, one line each, e.g. "ExitWindowsEx(flags=8, reserved=0)".
  std::vector<std::string> calls;

  bool GetVersionExA(OsVersionInfo& info) override;
  ProcessHandle GetCurrentProcess() override;
  bool OpenProcessToken(ProcessHandle process, std::uint32_t desiredAccess,
                        TokenHandle& token) override;
  bool LookupPrivilegeValueA(const char* systemName, const char* name, Luid& luid) override;
  bool AdjustTokenPrivileges(TokenHandle token, bool disableAllPrivileges,
                             const TokenPrivileges& newState, std::uint32_t bufferLength,
                             TokenPrivileges* previousState, std::uint32_t* returnLength) override;
  bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) override;
  bool SetSystemPowerState(bool suspend, bool force) override;
  bool CloseHandle(TokenHandle token) override;
};

}  // namespace vorzik::shell
