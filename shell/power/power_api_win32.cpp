#include "shell/power/power_api_win32.h"

#include <cstddef>

namespace vorzik::shell {
namespace {

// Our records are the system's, byte for byte, so they are passed as they are.
static_assert(sizeof(OsVersionInfo) == sizeof(OSVERSIONINFOA));
static_assert(offsetof(OsVersionInfo, platformId) == offsetof(OSVERSIONINFOA, dwPlatformId));
static_assert(sizeof(Luid) == sizeof(LUID));
static_assert(sizeof(TokenPrivileges) == sizeof(TOKEN_PRIVILEGES));
static_assert(offsetof(TokenPrivileges, privileges) == offsetof(TOKEN_PRIVILEGES, Privileges));
static_assert(sizeof(TokenHandle) == sizeof(HANDLE));

HANDLE ToHandle(std::uintptr_t value) {
  return reinterpret_cast<HANDLE>(value);
}

std::uintptr_t FromHandle(HANDLE handle) {
  return reinterpret_cast<std::uintptr_t>(handle);
}

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

bool Win32PowerApi::GetVersionExA(OsVersionInfo& info) {
  return calls_.getVersionExA(reinterpret_cast<LPOSVERSIONINFOA>(&info)) != FALSE;
}

ProcessHandle Win32PowerApi::GetCurrentProcess() {
  return FromHandle(calls_.getCurrentProcess());
}

bool Win32PowerApi::OpenProcessToken(ProcessHandle process, std::uint32_t desiredAccess,
                                     TokenHandle& token) {
  HANDLE opened = nullptr;
  const BOOL ok = calls_.openProcessToken(ToHandle(process), desiredAccess, &opened);
  token = FromHandle(opened);
  return ok != FALSE;
}

bool Win32PowerApi::LookupPrivilegeValueA(const char* systemName, const char* name, Luid& luid) {
  return calls_.lookupPrivilegeValueA(systemName, name, reinterpret_cast<PLUID>(&luid)) != FALSE;
}

bool Win32PowerApi::AdjustTokenPrivileges(TokenHandle token, bool disableAllPrivileges,
                                          const TokenPrivileges& newState,
                                          std::uint32_t bufferLength,
                                          TokenPrivileges* previousState,
                                          std::uint32_t* returnLength) {
  // The system does not write to the new state; its declaration only lacks the const.
  auto* state = reinterpret_cast<PTOKEN_PRIVILEGES>(const_cast<TokenPrivileges*>(&newState));
  DWORD length = 0;
  const BOOL ok = calls_.adjustTokenPrivileges(
      ToHandle(token), disableAllPrivileges ? TRUE : FALSE, state, bufferLength,
      reinterpret_cast<PTOKEN_PRIVILEGES>(previousState), returnLength ? &length : nullptr);
  if (returnLength)
    *returnLength = length;
  return ok != FALSE;
}

bool Win32PowerApi::ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) {
  return calls_.exitWindowsEx(flags, reserved) != FALSE;
}

bool Win32PowerApi::SetSystemPowerState(bool suspend, bool force) {
  if (!calls_.setSystemPowerState)
    return false;
  return calls_.setSystemPowerState(suspend ? TRUE : FALSE, force ? TRUE : FALSE) != FALSE;
}

bool Win32PowerApi::CloseHandle(TokenHandle token) {
  return calls_.closeHandle(ToHandle(token)) != FALSE;
}

std::unique_ptr<PowerApi> MakeSystemPowerApi() {
  return std::make_unique<Win32PowerApi>(SystemPowerCalls());
}

}  // namespace vorzik::shell
