#pragma once

#include <functional>

#include "shell/power/power_api.h"

namespace vorzik::shell {

inline constexpr int kPowerShutDown = 0;
inline constexpr int kPowerHibernate = 1;

/// What the end of a batch does to the computer, run after its last file.
/// rg3Index is RG3's ItemIndex at the time of the call: 0 powers off, 1
/// hibernates and then calls closeMainWindow (even when hibernation was
/// refused), anything else does nothing. No failure is shown or returned.
void PowerAction(int rg3Index, PowerApi& api, const std::function<void()>& closeMainWindow);

}  // namespace vorzik::shell
