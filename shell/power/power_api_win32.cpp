#include "shell/power/power_api_win32.h"

namespace vorzik::shell {
namespace {

// The values the calls are made with, checked against the system's headers.
constexpr DWORD kTokenAccess = 0x28;
static_assert(kTokenAccess == (TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY));
constexpr DWORD kVersionRecordSize = 148;
static_assert(sizeof(OSVERSIONINFOA) == kVersionRecordSize);
// The privilege record with its one entry.
constexpr DWORD kPrivilegeRecordSize = 16;
static_assert(sizeof(TOKEN_PRIVILEGES) == kPrivilegeRecordSize);
static_assert(SE_PRIVILEGE_ENABLED == 2);
static_assert(EWX_SHUTDOWN == 1 && EWX_POWEROFF == 8);
static_assert(VER_PLATFORM_WIN32s == 0 && VER_PLATFORM_WIN32_WINDOWS == 1 &&
              VER_PLATFORM_WIN32_NT == 2);
// SE_SHUTDOWN_NAME follows the UNICODE setting; the lookup takes the ANSI name.
constexpr const char* kShutdownPrivilege = "SeShutdownPrivilege";

// Newer headers mark the version query deprecated; the platform identifier is
// all we want from it, and that still answers.
BOOL WINAPI SystemGetVersionExA(LPOSVERSIONINFOA info) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  return ::GetVersionExA(info);
#pragma GCC diagnostic pop
}

}  // namespace

Win32PowerCalls SystemPowerCalls() {
  Win32PowerCalls calls{};
  calls.getVersionExA = SystemGetVersionExA;
  calls.getCurrentProcess = ::GetCurrentProcess;
  calls.openProcessToken = ::OpenProcessToken;
  calls.lookupPrivilegeValueA = ::LookupPrivilegeValueA;
  calls.adjustTokenPrivileges = ::AdjustTokenPrivileges;
  calls.exitWindowsEx = ::ExitWindowsEx;
  calls.closeHandle = ::CloseHandle;
  // Looked up at run time: a system without it then only loses hibernation,
  // instead of the program failing to start.
  if (HMODULE kernel = ::GetModuleHandleA("kernel32.dll")) {
    calls.setSystemPowerState = reinterpret_cast<BOOL(WINAPI*)(BOOL, BOOL)>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "SetSystemPowerState")));
  }
  return calls;
}

// Opens the own token, looks up the shutdown privilege and enables it, and
// returns whether the adjustment succeeded. With stopWhenTokenFails a token
// that does not open ends it at once; without, every step runs whatever the
// earlier ones returned.
bool Win32PowerApi::EnableShutdownPrivilege(bool stopWhenTokenFails) {
  HANDLE token = nullptr;
  const BOOL opened = calls_.openProcessToken(calls_.getCurrentProcess(), kTokenAccess, &token);
  if (!opened && stopWhenTokenFails)
    return false;

  LUID luid{};
  calls_.lookupPrivilegeValueA(nullptr, kShutdownPrivilege, &luid);

  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Luid = luid;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  // The previous state is asked for but never read or restored.
  TOKEN_PRIVILEGES previous{};
  DWORD returnLength = 0;
  const BOOL adjusted = calls_.adjustTokenPrivileges(
      token, FALSE, &privileges, kPrivilegeRecordSize, &previous, &returnLength);
  // The privilege stays enabled on the token after our handle to it is gone.
  if (opened)
    calls_.closeHandle(token);
  return adjusted != FALSE;
}

bool Win32PowerApi::PowerOff() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = kVersionRecordSize;
  // A query that fails tells us no platform, and an unknown platform gets nothing.
  if (!calls_.getVersionExA(&version))
    return false;

  switch (version.dwPlatformId) {
    case VER_PLATFORM_WIN32s:
    case VER_PLATFORM_WIN32_WINDOWS:
      return calls_.exitWindowsEx(EWX_SHUTDOWN, 0) != FALSE;
    case VER_PLATFORM_WIN32_NT:
      return EnableShutdownPrivilege(true) && calls_.exitWindowsEx(EWX_POWEROFF, 0) != FALSE;
    default:
      return false;
  }
}

bool Win32PowerApi::Hibernate() {
  EnableShutdownPrivilege(false);
  if (!calls_.setSystemPowerState)
    return false;
  return calls_.setSystemPowerState(FALSE, FALSE) != FALSE;
}

std::unique_ptr<PowerApi> MakeSystemPowerApi() {
  return std::make_unique<Win32PowerApi>(SystemPowerCalls());
}

}  // namespace vorzik::shell
