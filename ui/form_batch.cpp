#include "ui/form_batch.h"

#include <algorithm>
#include <iterator>

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

class FormBatchWindow final : public BatchWindow {
 public:
  explicit FormBatchWindow(TForm1& form) : form_(form) {}
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
    const FormServices& services = form_.Services();
    if (services.keepAwake)
      services.keepAwake(false);
    if (services.powerAction)
      services.powerAction(form_.RG3.ItemIndex());
  }

 private:
  TForm1& form_;
};

// Switches off what must not change under a running batch and brings it
// back on every way out, with the focus where it was before. No button holds
// the focus meanwhile: switching off the focused B1 would make the toolkit move
// the focus on to EXIT, where one more Enter would end the program. The system
// is kept awake as long.
class BatchLock {
 public:
  explicit BatchLock(TForm1& form)
      : form_(form),
        locked_{&form.B1, &form.DCB1, &form.DLB1, &form.FLB1},
        focusBefore_(form.Focus().Focused()) {
    FocusModel& focus = form_.Focus();
    if (std::find(std::begin(locked_), std::end(locked_), focusBefore_) != std::end(locked_))
      focus.Release();
    focus.RefuseButtons(true);
    for (Control* c : locked_)
      c->SetEnabled(false);
    focusMoved_ = focus.Focused();
    form_.SetBatchRunning(true);
    KeepAwake(true);
  }
  ~BatchLock() {
    KeepAwake(false);
    for (Control* c : locked_)
      c->SetEnabled(true);
    form_.Focus().RefuseButtons(false);
    // Where the user moved the focus during the batch, it stays.
    if (focusBefore_ && focusBefore_->Enabled() && form_.Focus().Focused() == focusMoved_)
      form_.Focus().Restore(focusBefore_);
    // Honours a close request recorded during the batch.
    form_.SetBatchRunning(false);
  }
  BatchLock(const BatchLock&) = delete;
  BatchLock& operator=(const BatchLock&) = delete;

  void KeepAwake(bool hold) {
    if (form_.Services().keepAwake)
      form_.Services().keepAwake(hold);
  }

 private:
  TForm1& form_;
  Control* locked_[4];
  Control* focusBefore_;
  Control* focusMoved_ = nullptr;
};

}  // namespace

void RunFormBatch(TForm1& form) {
  const FormServices& services = form.Services();
  if (form.BatchRunning() || !services.runner || !services.files)
    return;
  BatchLock lock(form);
  FormBatchWindow window(form);
  FormSwitches switches(form);
  BatchSummary summary = RunBatch(ReadConversionSettings(form), form.BoostSwitch(),
                                  {window, switches, *services.runner, *services.files,
                                   services.browserFs.Style(), kStatusText});
  if (summary.stopSignal != 0 && services.endAfterStop) {
    lock.KeepAwake(false);
    services.endAfterStop(summary.stopSignal);
  }
}

}  // namespace vorzik::ui
