#include "shell/power/power_action.h"

namespace vorzik::shell {

void PowerAction(int rg3Index, PowerApi& api, const std::function<void()>& closeMainWindow) {
  if (rg3Index == kPowerShutDown) {
    // The window stays open: the shutdown reaches this program like any other.
    api.PowerOff();
  } else if (rg3Index == kPowerHibernate) {
    api.Hibernate();
    // The program ends here whether or not the computer slept.
    closeMainWindow();
  }
}

}  // namespace vorzik::shell
