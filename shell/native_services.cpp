#include "shell/native_services.h"

#include "shell/power/power_action.h"
#include "ui/tform1.h"

namespace vorzik::shell {

NativeServices::NativeServices(EventPump pump)
    : browserFs_(ui::MakeNativeBrowserQueries()),
      files_(MakeNativeStageFiles()),
      runner_(MakeNativeStageRunner(std::move(pump))) {}

ui::FormServices NativeServices::For(ui::TForm1*& form) {
  auto powerAction = [this, &form](int rg3Index) {
    if (!power_)
      power_ = MakeSystemPowerApi();
    PowerAction(rg3Index, *power_, [&form] { form->Close(); });
  };
  auto keepAwake = [this](bool hold) {
    if (!awake_)
      awake_ = MakeSystemSleepInhibitor();
    if (hold)
      awake_->Hold();
    else
      awake_->Release();
  };
  return ui::FormServices{.browserQueries = *browserFs_,
                          .runner = runner_.get(),
                          .stageFiles = files_.get(),
                          .powerAction = powerAction,
                          .keepAwake = keepAwake,
                          .endAfterStop = EndAfterStop};
}

}  // namespace vorzik::shell
