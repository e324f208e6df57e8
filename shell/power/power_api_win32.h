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

/// PowerApi on Windows: each method is the system call of the same name,
/// with the records handed over as they are.
class Win32PowerApi : public PowerApi {
 public:
  explicit Win32PowerApi(const Win32PowerCalls& calls) : calls_(calls) {}

  bool GetVersionExA(OsVersionInfo& info) override;
  ProcessHandle GetCurrentProcess() override;
  bool OpenProcessToken(ProcessHandle process, std::uint32_t desiredAccess,
                        TokenHandle& token) override;
  bool LookupPrivilegeValueA(const char* systemName, const char* name, Luid& luid) override;
  bool AdjustTokenPrivileges(TokenHandle token, bool disableAllPrivileges,
                             const TokenPrivileges& newState, std::uint32_t bufferLength,
                             TokenPrivileges* previousState, std::uint32_t* returnLength) override;
  bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) override;
  /// Fails without a call when the system lacks the function.
  bool SetSystemPowerState(bool suspend, bool force) override;
  bool CloseHandle(TokenHandle token) override;

 private:
  Win32PowerCalls calls_;
};

}  // namespace vorzik::shell
