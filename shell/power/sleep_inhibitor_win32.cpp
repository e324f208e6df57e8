#include "shell/power/sleep_inhibitor_win32.h"

namespace vorzik::shell {

void Win32SleepInhibitor::Hold() {
  if (!held_)
    held_ = call_(ES_CONTINUOUS | ES_SYSTEM_REQUIRED) != 0;
}

void Win32SleepInhibitor::Release() {
  if (held_)
    call_(ES_CONTINUOUS);
  held_ = false;
}

std::unique_ptr<SleepInhibitor> MakeSystemSleepInhibitor() {
  return std::make_unique<Win32SleepInhibitor>(::SetThreadExecutionState);
}

}  // namespace vorzik::shell
