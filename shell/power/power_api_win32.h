#pragma once

#include <windows.h>

#include "shell/power/power_api.h"

namespace vorzik::shell {

/// The system functions Win32PowerApi calls, as plain pointers, so a test can
/// put recording stand-ins in their place and no call reaches the machine.
struct Win32PowerCalls {
  BOOL(WINAPI* getVersionExA)(LPOSVERSIONINFOA);
  HANDLE(WINAPI* getCurrentProcess)();
  BOOL(WINAPI* openProcessToken)(HANDLE, DWORD, PHANDLE);
  BOOL(WINAPI* lookupPrivilegeValueA)(LPCSTR, LPCSTR, PLUID);
  BOOL(WINAPI* adjustTokenPrivileges)
  (HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES, PDWORD);
  BOOL(WINAPI* exitWindowsEx)(UINT, DWORD);
  /// Null when the running system has no such function.
  BOOL(WINAPI* setSystemPowerState)(BOOL, BOOL);
  BOOL(WINAPI* closeHandle)(HANDLE);
};

/// The functions of the running system.
Win32PowerCalls SystemPowerCalls();

/// PowerApi on Windows. An NT system lets a program shut it down only with
/// the shutdown privilege enabled on its token, so both requests first
/// enable it; older systems have no privileges and no such step.
class Win32PowerApi : public PowerApi {
 public:
  explicit Win32PowerApi(const Win32PowerCalls& calls) : calls_(calls) {}

  /// By the platform the version query names: Win32s and Windows 9x shut
  /// down (EWX_SHUTDOWN) at once; NT enables the privilege, stops when the
  /// token does not open or the adjustment fails, and then powers off
  /// (EWX_POWEROFF); any other platform, or a failed query, gets nothing.
  bool PowerOff() override;
  /// Enables the privilege, whatever each step returns and with no version
  /// query, then SetSystemPowerState(FALSE, FALSE): hibernate, not suspend,
  /// and not forced. Fails without a call when the system lacks the function.
  bool Hibernate() override;

 private:
  bool EnableShutdownPrivilege(bool stopWhenTokenFails);

  Win32PowerCalls calls_;
};

}  // namespace vorzik::shell
