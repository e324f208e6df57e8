#pragma once

#include "pipeline/option_fragments.h"
#include "pipeline/stage_chain.h"

namespace vorzik::ui {

class TForm1;

/// The option controls' values, read once when a batch starts. A control's
/// value counts whether it is switched on or off.
ConversionSettings ReadConversionSettings(const TForm1& form);

/// The stage switches as the window holds them at the moment of asking.
class FormSwitches final : public StageSwitches {
 public:
  explicit FormSwitches(const TForm1& form) : form_(form) {}
  bool Filter() const override;
  int FilterVariant() const override;
  bool Normalise() const override;
  bool Encode() const override;
  bool DeleteIntermediate() const override;

 private:
  const TForm1& form_;
};

/// What "Encode Start" does: converts every listed file, then the power
/// action. A press during a batch starts nothing; the button and the browser
/// refuse input until the batch has ended.
void RunFormBatch(TForm1& form);

}  // namespace vorzik::ui
