#include "shell/native_services.h"

#include "shell/power/power_action.h"

namespace vorzik::shell {

NativeServices::NativeServices(EventPump pump)
    : browserQueries_(ui::MakeNativeBrowserQueries()),
      stageFiles_(MakeNativeStageFiles()),
      runner_(MakeNativeStageRunner(std::move(pump))) {}

ui::FormServices NativeServices::ForWindow() {
  auto powerAction = [this](int rg3Index, const std::function<void()>& closeWindow) {
    if (!power_)
      power_ = MakeSystemPowerApi();
    PowerAction(rg3Index, *power_, closeWindow);
  };
  auto keepAwake = [this](bool hold) {
    if (!awake_)
      awake_ = MakeSystemSleepInhibitor();
    if (hold)
      awake_->Hold();
    else
      awake_->Release();
  };
  return ui::FormServices{.browserQueries = *browserQueries_,
                          .runner = runner_.get(),
                          .stageFiles = stageFiles_.get(),
                          .powerAction = powerAction,
                          .keepAwake = keepAwake,
                          .endAfterStop = EndAfterStop};
}

}  // namespace vorzik::shell
