// TForm1's batch: the window's settings, switches and file list handed to
// the batch driver, and the window kept safe while the batch runs.

#include "ui/tform1_batch.h"

#include <algorithm>
#include <functional>
#include <span>

#include "pipeline/batch_driver.h"
#include "ui/tform1.h"

namespace vorzik::ui {

ConversionSettings ReadConversionSettings(const TForm1& f) {
  ConversionSettings s;
  s.quality = f.E1.Text();
  s.effect = f.E2.Text();
  s.gain = f.E3.Text();
  s.fadeIn = f.E4.Text();
  s.fadeOut = f.E5.Text();
  s.normaliseRatio = f.E6.Text();
  s.oggQuality = f.ComB4.Text();
  s.bitRate = f.ComB5.Text();
  s.boostPreset = f.ComB1.Text();
  s.boostLevel = f.ComB2.Text();
  s.noiseGateLevel = f.ComB3.Text();
  s.useQuality = f.CB3.Checked();
  s.useEffect = f.CB4.Checked();
  s.useGain = f.CB5.Checked();
  s.useFadeIn = f.CB6.Checked();
  s.useFadeOut = f.CB7.Checked();
  s.errorProtection = f.CB8.Checked();
  s.useBoost = f.CB10.Checked();
  s.useNoiseGate = f.CB11.Checked();
  s.filterVariant = f.RG1.ItemIndex();
  s.encodeMode = f.RG2.ItemIndex();
  return s;
}

bool FormSwitches::Filter() const {
  return form_.CB1.Checked();
}
int FormSwitches::FilterVariant() const {
  return form_.RG1.ItemIndex();
}
bool FormSwitches::Normalise() const {
  return form_.CB9.Checked();
}
bool FormSwitches::Encode() const {
  return form_.CB2.Checked();
}
bool FormSwitches::DeleteIntermediate() const {
  return form_.CB12.Checked();
}

namespace {

// Keeps the system from sleeping on idle from its start until released.
class AwakeHold {
 public:
  explicit AwakeHold(const std::function<void(bool hold)>& keepAwake) : keepAwake_(keepAwake) {
    Set(true);
  }
  ~AwakeHold() { Release(); }
  AwakeHold(const AwakeHold&) = delete;
  AwakeHold& operator=(const AwakeHold&) = delete;

  /// Lets the system sleep again, as it must before what a hold may never
  /// keep waiting: the power action, the end of the program.
  void Release() { Set(false); }

 private:
  void Set(bool hold) {
    if (keepAwake_)
      keepAwake_(hold);
  }

  const std::function<void(bool hold)>& keepAwake_;
};

class FormBatchWindow final : public BatchWindow {
 public:
  FormBatchWindow(TForm1& form, AwakeHold& awake) : form_(form), awake_(awake) {}
  std::string FolderPath() override { return form_.DLB1.Directory(); }
  void SelectEntry(int index) override { form_.FLB1.SetItemIndex(index); }
  std::string SelectedFullPath() override { return form_.FLB1.FileName(); }
  std::vector<std::string> EntryPaths() override {
    std::vector<std::string> paths;
    for (int n = 0; n < form_.FLB1.Count(); ++n)
      paths.push_back(form_.FLB1.FullPathOf(n));
    return paths;
  }
  std::string StatusText() override { return form_.SB1.SimpleText(); }
  void SetStatusText(const std::string& text) override { form_.SB1.SetSimpleText(text); }
  bool AutoExit() override { return form_.CB13.Checked(); }
  void RunPowerAction() override {
    awake_.Release();
    if (form_.Services().powerAction)
      form_.Services().powerAction(form_.RG3.ItemIndex(), [this] { form_.Close(); });
  }

 private:
  TForm1& form_;
  AwakeHold& awake_;
};

// Marks the window's batch as running; its end honours a close the user asked
// for meanwhile.
class RunningMark {
 public:
  explicit RunningMark(TForm1& form) : form_(form) { form_.SetBatchRunning(true); }
  ~RunningMark() { form_.SetBatchRunning(false); }
  RunningMark(const RunningMark&) = delete;
  RunningMark& operator=(const RunningMark&) = delete;

 private:
  TForm1& form_;
};

// Switches controls off, and on again at its end.
class SwitchedOff {
 public:
  explicit SwitchedOff(std::span<Control* const> controls) : controls_(controls) { Set(false); }
  ~SwitchedOff() { Set(true); }
  SwitchedOff(const SwitchedOff&) = delete;
  SwitchedOff& operator=(const SwitchedOff&) = delete;

 private:
  void Set(bool enabled) {
    for (Control* c : controls_)
      c->SetEnabled(enabled);
  }

  std::span<Control* const> controls_;
};

// Keeps the focus off the buttons, and off the controls about to be switched
// off: switching off the focused B1 would make the toolkit move the focus on
// to EXIT, where one more Enter would end the program. At its end the focus
// goes back where it was, unless the user moved it meanwhile.
class FocusReturn {
 public:
  FocusReturn(FocusModel& focus, std::span<Control* const> leaving)
      : focus_(focus), before_(focus.Focused()) {
    if (std::ranges::find(leaving, before_) != leaving.end())
      focus_.Release();
    focus_.RefuseButtons(true);
  }
  ~FocusReturn() {
    focus_.RefuseButtons(false);
    if (before_ && before_->Enabled() && focus_.Focused() == settled_)
      focus_.Restore(before_);
  }
  FocusReturn(const FocusReturn&) = delete;
  FocusReturn& operator=(const FocusReturn&) = delete;

  /// Notes where the focus stands once the controls are off: a later move is
  /// the user's.
  void Settle() { settled_ = focus_.Focused(); }

 private:
  FocusModel& focus_;
  Control* before_;
  Control* settled_ = nullptr;
};

}  // namespace

void RunFormBatch(TForm1& form) {
  const FormServices& services = form.Services();
  if (form.BatchRunning() || !services.runner || !services.stageFiles)
    return;
  // What must not change under a running batch: the button and the browser.
  // The pieces end in the reverse order: the batch is marked over last, as a
  // close it honours may end the window.
  Control* const locked[] = {&form.B1, &form.DCB1, &form.DLB1, &form.FLB1};
  RunningMark running(form);
  FocusReturn focus(form.Focus(), locked);
  SwitchedOff off(locked);
  focus.Settle();
  AwakeHold awake(services.keepAwake);
  FormBatchWindow window(form, awake);
  FormSwitches switches(form);
  BatchSummary summary = RunBatch(ReadConversionSettings(form), form.BoostSwitch(),
                                  {window, switches, *services.runner, *services.stageFiles,
                                   services.browserQueries.Style(), kStatusText});
  if (summary.stopSignal != 0 && services.endAfterStop) {
    awake.Release();
    services.endAfterStop(summary.stopSignal);
  }
}

}  // namespace vorzik::ui
