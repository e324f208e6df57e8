#include "shell/power/power_action.h"

namespace vorzik::shell {
namespace {

constexpr std::uint32_t kTokenAccess = kTokenAdjustPrivileges | kTokenQuery;

// Opens the own token, looks up the shutdown privilege and enables it, and
// returns whether the adjustment succeeded. With stopOnFailure a token that
// does not open ends it at once; without, every step runs whatever the
// earlier ones returned.
bool EnableShutdownPrivilege(PowerApi& api, bool stopOnFailure) {
  TokenHandle token = 0;
  const bool opened = api.OpenProcessToken(api.GetCurrentProcess(), kTokenAccess, token);
  if (!opened && stopOnFailure) {
    return false;
  }

  Luid luid{};
  api.LookupPrivilegeValueA(nullptr, kSeShutdownName, luid);

  TokenPrivileges privileges{};
  privileges.privilegeCount = 1;
  privileges.privileges[0].luid = luid;
  privileges.privileges[0].attributes = kSePrivilegeEnabled;
  // The previous state is asked for but never read or restored.
  TokenPrivileges previous{};
  std::uint32_t returnLength = 0;
  const bool adjusted = api.AdjustTokenPrivileges(token, false, privileges, kTokenPrivilegesSize,
                                                  &previous, &returnLength);
  // The privilege stays enabled on the token after our handle to it is gone.
  if (opened) {
    api.CloseHandle(token);
  }
  return adjusted;
}

void ShutDown(PowerApi& api) {
  OsVersionInfo version{};
  version.osVersionInfoSize = kOsVersionInfoSize;
  // A query that fails tells us no platform, and an unknown platform gets nothing.
  if (!api.GetVersionExA(version)) {
    return;
  }

  switch (version.platformId) {
    case kPlatformWin32s:
    case kPlatformWin32Windows:
      api.ExitWindowsEx(kEwxShutdown, 0);
      break;
    case kPlatformWin32Nt:
      if (EnableShutdownPrivilege(api, true)) {
        api.ExitWindowsEx(kEwxPowerOff, 0);
      }
      break;
    default:
      break;
  }
}

void Hibernate(PowerApi& api, const std::function<void()>& closeMainWindow) {
  EnableShutdownPrivilege(api, false);
  api.SetSystemPowerState(false, false);
  // The program ends here whether or not the computer slept.
  closeMainWindow();
}

}  // namespace

void PowerAction(int rg3Index, PowerApi& api, const std::function<void()>& closeMainWindow) {
  if (rg3Index == kPowerShutDown) {
    ShutDown(api);
  } else if (rg3Index == kPowerHibernate) {
    Hibernate(api, closeMainWindow);
  }
}

}  // namespace vorzik::shell
