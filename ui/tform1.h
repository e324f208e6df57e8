#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/browser/browser.h"
#include "ui/controls.h"
#include "ui/focus.h"
#include "ui/form_services.h"

namespace vorzik::ui {

inline constexpr char kFormCaption[] = " PC-QL7RZ/PCI 支援\u3000( Vorzik\uFF01)   Ver 1.1a";
inline constexpr char kStatusText[] =
    " 最大で\uFF14回変換処理をする事から音質は\uFF1F\uFF1F\uFF1Fです。せめて LPCM に対応を\uFF01";
inline constexpr int kClientWidth = 410;
inline constexpr int kClientHeight = 358;

/// The keys the window acts on before the focused control sees them.
enum class Key { Enter, Up, Down, Left, Right };

/// The one window: every control by its name, in declaration order, and the
/// event handlers. The enabling rules live in tform1_rules.cpp.
class TForm1 {
 public:
  explicit TForm1(FormServices services);
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  Panel P1;
  CheckBox CB1;
  RadioGroup RG1;
  CheckBox CB2;
  RadioGroup RG2;
  CheckBox CB3;
  Edit E1;
  UpDown UD1;
  CheckBox CB4;
  Edit E2;
  UpDown UD2;
  CheckBox CB5;
  Edit E3;
  UpDown UD3;
  CheckBox CB6;
  Edit E4;
  UpDown UD4;
  CheckBox CB7;
  Edit E5;
  UpDown UD5;
  CheckBox CB8;
  CheckBox CB9;
  Edit E6;
  UpDown UD6;
  CheckBox CB10;
  ComboBox ComB1;
  ComboBox ComB2;
  CheckBox CB11;
  ComboBox ComB3;
  Label L1;
  ComboBox ComB4;
  Label L2;
  ComboBox ComB5;
  CheckBox CB12;
  CheckBox CB13;
  Separator GB_L1;
  Separator GB_L2;
  Separator GB_L3;
  TDriveComboBox DCB1;
  TDirectoryListBox DLB1;
  TFileListBox FLB1;
  StatusBar SB1;
  Button B1;
  Button B2;
  RadioGroup RG3;

  void B2Click(Control& sender);
  void CB1Click(Control& sender);
  void CB2Click(Control& sender);
  void CB3Click(Control& sender);
  void CB4Click(Control& sender);
  void CB5Click(Control& sender);
  void CB6Click(Control& sender);
  void CB7Click(Control& sender);
  void CB10Click(Control& sender);
  void CB11Click(Control& sender);
  void CB9Click(Control& sender);
  void RG1Click(Control& sender);
  void RG2Click(Control& sender);
  void B1Click(Control& sender);
  void E6KeyPress(Control& sender, char& key);
  void CB13Click(Control& sender);

  /// A key pressed in `control`, which has the focus: Enter walks to the next
  /// field (E6KeyPress) or presses a focused button, and does nothing on a
  /// radio item; an arrow on a radio item chooses the next or previous item
  /// round the group; up and down in an edit step its spinner. True when the
  /// window took the key, which the control then never sees.
  bool KeyDown(Control& control, Key key);
  /// The spinner bound to an edit; null for none.
  UpDown* UpDownOf(const Control& edit) const;

  const std::string& Caption() const { return caption_; }
  /// Every control, P1 first, in declaration order.
  const std::vector<Control*>& Controls() const { return controls_; }
  Control* Find(const std::string& name) const;
  FocusModel& Focus() { return focus_; }
  const FormServices& Services() const { return services_; }

  /// The batch that "Encode Start" runs: RunFormBatch unless replaced;
  /// B1Click does nothing while it is empty.
  std::function<void(Control& sender)> OnEncodeStart;
  /// The boost opening the last AC3 batch with a known preset chose; it lives
  /// as long as the window.
  std::string& BoostSwitch() { return boostSwitch_; }

  /// Every way of closing the window ends here. Outside a batch it asks the
  /// program to end (OnCloseRequest); during a batch it is only recorded and
  /// honoured when the batch ends.
  void Close();
  std::function<void()> OnCloseRequest;
  bool ClosePending() const { return closePending_; }
  bool BatchRunning() const { return batchRunning_; }
  /// Set by the batch on entry and exit; leaving a batch honours a recorded close.
  void SetBatchRunning(bool running);

 private:
  void SetHints();
  void SetTabOrder();
  void BindEvents();
  void FilterRule();
  void EncoderRule();

  FormServices services_;
  std::string caption_ = kFormCaption;
  std::vector<Control*> controls_;
  FocusModel focus_;
  bool batchRunning_ = false;
  bool closePending_ = false;
  std::string boostSwitch_;
};

}  // namespace vorzik::ui
