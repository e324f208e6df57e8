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
///
/// The members below are a legend of the window. It has four zones, tagged
/// [filter], [encoder], [right] and [browser]: the filter column on the left,
/// the encoder column in the middle, the right column (power action,
/// normalising, the two buttons), and the browser below the long line. A
/// switch without a caption (CB1, CB2, CB13) stands just left of the radio
/// group it switches. "Enter" marks the controls bound to E6KeyPress.
class TForm1 {
 public:
  explicit TForm1(FormServices services);
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  Panel P1;                // raised panel under every control but the status bar
  CheckBox CB1;            // [filter] no caption: filter stage on; Enter
  RadioGroup RG1;          // [filter] " PC-QL7RZ ": the filter tool, FIR or IIR
  CheckBox CB2;            // [encoder] no caption: BeSweet encode stage on; Enter
  RadioGroup RG2;          // [encoder] " Encode Mode ": MP2, AC3 or Ogg Vorbis
  CheckBox CB3;            // [filter] "Quality": pass E1 (FIR only); Enter
  Edit E1;                 // [filter] FIR quality, "200"; Enter
  UpDown UD1;              // [filter] spinner of E1, 0 to 300
  CheckBox CB4;            // [filter] "Effect": pass E2; Enter
  Edit E2;                 // [filter] filter amount in percent, "100"; Enter
  UpDown UD2;              // [filter] spinner of E2, 0 to 150
  CheckBox CB5;            // [filter] "Gain": pass E3; Enter
  Edit E3;                 // [filter] output volume in percent, "100"; Enter
  UpDown UD3;              // [filter] spinner of E3, 0 to 120
  CheckBox CB6;            // [filter] "Fade in": pass E4; Enter
  Edit E4;                 // [filter] fade-in in frames of 1152 samples, "0"; Enter
  UpDown UD4;              // [filter] spinner of E4, 0 to 150
  CheckBox CB7;            // [filter] "Fade out": pass E5; Enter
  Edit E5;                 // [filter] fade-out in frames of 1152 samples, "0"; Enter
  UpDown UD5;              // [filter] spinner of E5, 0 to 150
  CheckBox CB8;            // [right] "Error Protection": MP2 error protection; Enter
  CheckBox CB9;            // [right] "Normalize": normalise stage on; Enter
  Edit E6;                 // [right] normalise peak in percent of full scale, "90"; Enter
  UpDown UD6;              // [right] spinner of E6, 0 to 100
  CheckBox CB10;           // [encoder] "Boost Set": AC3 boost on; Enter
  ComboBox ComB1;          // [encoder] boost preset: Brex, Ov, Snal; Enter
  ComboBox ComB2;          // [encoder] boost level in dB, 1 to 10; Enter
  CheckBox CB11;           // [encoder] "Noise Gate": gate in every mode; Enter
  ComboBox ComB3;          // [encoder] noise-gate level in -dBFS, 60 to 75; Enter
  Label L1;                // [encoder] "Quality(VBR)", the name of ComB4
  ComboBox ComB4;          // [encoder] Ogg Vorbis quality, 0.00 to 10; Enter
  Label L2;                // [encoder] "Bitrate", the name of ComB5
  ComboBox ComB5;          // [encoder] MP2 and AC3 bit rate in kbit/s; Enter
  CheckBox CB12;           // [right] "TMP File Delete": delete stage files; Enter
  CheckBox CB13;           // [right] no caption: power action after the batch; Enter
  Separator GB_L1;         // [right] line under Error Protection
  Separator GB_L2;         // [right] line under TMP File Delete
  Separator GB_L3;         // long line above the browser
  TDriveComboBox DCB1;     // [browser] drive box, above DLB1; Enter
  TDirectoryListBox DLB1;  // [browser] folder list: the batch's folder; Enter
  TFileListBox FLB1;       // [browser] "*.mp2;*.mpa;*.wav" there: the batch's files; Enter
  StatusBar SB1;           // status bar under the panel; the batch writes its one message here
  Button B1;               // [right] "Encode Start": runs the batch over FLB1
  Button B2;               // [right] "EXIT": closes the window, after a running batch
  RadioGroup RG3;          // [right] " Auto Exit Setting ": Shut Down or Hidernate

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
  /// One handler, named after one of them, for the 27 controls marked "Enter"
  /// above (every check box, edit, combo box and the browser trio): Enter
  /// moves on like Tab there. Radio groups and buttons keep their own Enter.
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
