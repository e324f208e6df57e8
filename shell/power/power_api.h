#pragma once

#include <cstdint>
#include <memory>

namespace vorzik::shell {

// The records below mirror the Windows layouts field for field, so the Win32
// implementation can hand them to the system as they are and a fake can check
// every value the power action writes into them.

/// OSVERSIONINFOA: the caller sets osVersionInfoSize to kOsVersionInfoSize.
struct OsVersionInfo {
  std::uint32_t osVersionInfoSize;
  std::uint32_t majorVersion;
  std::uint32_t minorVersion;
  std::uint32_t buildNumber;
  std::uint32_t platformId;
  char csdVersion[128];
};
inline constexpr std::uint32_t kOsVersionInfoSize = 148;
static_assert(sizeof(OsVersionInfo) == kOsVersionInfoSize);

inline constexpr std::uint32_t kPlatformWin32s = 0;
inline constexpr std::uint32_t kPlatformWin32Windows = 1;
inline constexpr std::uint32_t kPlatformWin32Nt = 2;

/// LUID: a locally unique identifier, here the one of a privilege.
struct Luid {
  std::uint32_t lowPart;
  std::int32_t highPart;
};

struct LuidAndAttributes {
  Luid luid;
  std::uint32_t attributes;
};

/// TOKEN_PRIVILEGES with room for exactly one privilege.
struct TokenPrivileges {
  std::uint32_t privilegeCount;
  LuidAndAttributes privileges[1];
};
inline constexpr std::uint32_t kTokenPrivilegesSize = 16;
static_assert(sizeof(TokenPrivileges) == kTokenPrivilegesSize);

inline constexpr std::uint32_t kTokenAdjustPrivileges = 0x20;
inline constexpr std::uint32_t kTokenQuery = 0x08;
inline constexpr std::uint32_t kSePrivilegeEnabled = 2;
inline constexpr const char* kSeShutdownName = "SeShutdownPrivilege";

inline constexpr std::uint32_t kEwxShutdown = 1;
inline constexpr std::uint32_t kEwxPowerOff = 8;

/// Opaque system handles; zero is never a valid token.
using ProcessHandle = std::uintptr_t;
using TokenHandle = std::uintptr_t;

/// The version, security and power calls the power action makes, one method
/// per system call with the system's arguments. Results are true on success.
class PowerApi {
 public:
  virtual ~PowerApi() = default;

  virtual bool GetVersionExA(OsVersionInfo& info) = 0;
  virtual ProcessHandle GetCurrentProcess() = 0;
  virtual bool OpenProcessToken(ProcessHandle process, std::uint32_t desiredAccess,
                                TokenHandle& token) = 0;
  /// systemName null means the local system.
  virtual bool LookupPrivilegeValueA(const char* systemName, const char* name, Luid& luid) = 0;
  virtual bool AdjustTokenPrivileges(TokenHandle token, bool disableAllPrivileges,
                                     const TokenPrivileges& newState, std::uint32_t bufferLength,
                                     TokenPrivileges* previousState,
                                     std::uint32_t* returnLength) = 0;
  virtual bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) = 0;
  /// Returns once the request was refused or, after a hibernation, on resume.
  virtual bool SetSystemPowerState(bool suspend, bool force) = 0;
  virtual bool CloseHandle(TokenHandle token) = 0;
};

/// The implementation that really powers this machine off or hibernates it.
std::unique_ptr<PowerApi> MakeSystemPowerApi();

}  // namespace vorzik::shell
