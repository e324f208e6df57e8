#include "ui/tform1.h"

#include "ui/form_batch.h"

namespace vorzik::ui {

namespace {

std::vector<std::string> NumberItems(int from, int to) {
  std::vector<std::string> items;
  for (int n = from; n <= to; ++n)
    items.push_back(std::to_string(n));
  return items;
}

}  // namespace

TForm1::TForm1(FormServices services)
    : P1("P1", {0, 0, 409, 337}),
      CB1("CB1", {8, 8, 17, 17}, "", true),
      RG1("RG1", {24, 8, 97, 49}, " PC-QL7RZ ", {"ql7rzfir", "ql7rviir"}, 0),
      CB2("CB2", {128, 8, 17, 17}, "", true),
      RG2("RG2", {144, 8, 121, 65}, " Encode Mode ", {"MP2 (mp2enc)", "AC3 (ac3enc)", "OGG-Vorbis"},
          0),
      CB3("CB3", {8, 84, 57, 17}, "Quality", true),
      E1("E1", {78, 78, 27, 22}, "200", 3),
      UD1("UD1", {105, 78, 15, 22}, E1, 0, 300, 200),
      CB4("CB4", {8, 108, 57, 17}, "Effect", false),
      E2("E2", {78, 102, 27, 22}, "100", 3),
      UD2("UD2", {105, 102, 15, 22}, E2, 0, 150, 100),
      CB5("CB5", {8, 132, 49, 17}, "Gain", false),
      E3("E3", {78, 126, 27, 22}, "100", 3),
      UD3("UD3", {105, 126, 15, 22}, E3, 0, 120, 100),
      CB6("CB6", {8, 156, 65, 17}, "Fade in", false),
      E4("E4", {78, 150, 27, 22}, "0", 3),
      UD4("UD4", {105, 150, 15, 22}, E4, 0, 150, 0),
      CB7("CB7", {8, 180, 65, 17}, "Fade out", false),
      E5("E5", {78, 174, 27, 22}, "0", 3),
      UD5("UD5", {105, 174, 15, 22}, E5, 0, 150, 0),
      CB8("CB8", {288, 87, 97, 17}, "Error Protection", false),
      CB9("CB9", {288, 70, 73, 17}, "Normalize", true),
      E6("E6", {358, 62, 27, 22}, "90", 3),
      UD6("UD6", {385, 62, 15, 22}, E6, 0, 100, 90),
      CB10("CB10", {144, 140, 73, 17}, "Boost Set", false),
      ComB1("ComB1", {218, 136, 47, 20}, {"Brex", "Ov", "Snal"}, "Ov", 4),
      ComB2("ComB2", {233, 156, 32, 20}, NumberItems(1, 10), "3", 1),
      CB11("CB11", {144, 180, 81, 17}, "Noise Gate", false),
      ComB3("ComB3", {228, 176, 37, 20}, {"60", "65", "70", "75"}, "70", 2),
      L1("L1", {144, 88, 68, 12}, "Quality(VBR)"),
      ComB4("ComB4", {218, 80, 47, 20},
            {"0.00", "1.00", "2.00", "3.00", "4.00", "5.00", "6.00", "7.00", "8.00", "9.00", "10"},
            "4.00", 4),
      L2("L2", {144, 108, 35, 12}, "Bitrate"),
      ComB5("ComB5", {218, 100, 47, 20}, {"128", "160", "192", "224", "256", "320", "384", "448"},
            "224", 3),
      CB12("CB12", {288, 113, 113, 17}, "TMP File Delete", true),
      CB13("CB13", {272, 8, 17, 17}, "", false),
      GB_L1("GB_L1", {288, 102, 113, 9}),
      GB_L2("GB_L2", {288, 128, 113, 9}),
      GB_L3("GB_L3", {8, 196, 393, 9}),
      DCB1("DCB1", {8, 208, 143, 18}, services.browserFs),
      DLB1("DLB1", {8, 228, 143, 100}, services.browserFs),
      FLB1("FLB1", {154, 208, 247, 121}, services.browserFs),
      SB1("SB1", {0, 339, 410, 19}, kStatusText),
      B1("B1", {288, 139, 113, 28}, "Encode Start"),
      B2("B2", {288, 168, 113, 28}, "EXIT"),
      RG3("RG3", {288, 8, 113, 49}, " Auto Exit Setting ", {"Shut Down", "Hidernate"}, 0),
      services_(services) {
  controls_ = {&P1,    &CB1,   &RG1,  &CB2,   &RG2,  &CB3,   &E1,   &UD1,   &CB4,
               &E2,    &UD2,   &CB5,  &E3,    &UD3,  &CB6,   &E4,   &UD4,   &CB7,
               &E5,    &UD5,   &CB8,  &CB9,   &E6,   &UD6,   &CB10, &ComB1, &ComB2,
               &CB11,  &ComB3, &L1,   &ComB4, &L2,   &ComB5, &CB12, &CB13,  &GB_L1,
               &GB_L2, &GB_L3, &DCB1, &DLB1,  &FLB1, &SB1,   &B1,   &B2,    &RG3};
  DCB1.DirList = &DLB1;
  DLB1.FileList = &FLB1;
  FLB1.SetMask("*.mp2;*.mpa;*.wav");
  // The states the enabling rules give for the defaults; no rule runs at start.
  for (Control* off :
       std::initializer_list<Control*>{&E2, &UD2, &E3, &UD3, &E4, &UD4, &E5, &UD5, &CB10, &ComB1,
                                       &ComB2, &ComB3, &L1, &ComB4, &RG3}) {
    off->SetEnabled(false);
  }
  SetHints();
  SetTabOrder();
  BindEvents();
  focus_.SetFocus(focus_.NextTabStop(nullptr, true));
}

void TForm1::SetHints() {
  CB1.Hint = "PC-QL7RZ/PCI 支援設定";
  RG1.Hint = "モード設定";
  CB2.Hint = "BeSweet 使用設定";
  RG2.Hint = "モード設定";
  CB3.Hint = "周波数特性設定(QL7RZFIRのみ有効)";
  E1.Hint = "高いほど周波数特性の波が減少";
  CB4.Hint = "フィルタの適用量設定";
  E2.Hint = "適用量を指定";
  CB5.Hint = "音量設定";
  E3.Hint = "音量を指定";
  CB6.Hint = "フェードイン設定";
  E4.Hint = "フレームを指定";
  CB7.Hint = "フェードアウト設定";
  E5.Hint = "フレームを指定";
  CB8.Hint = "エラープロテクション設定";
  CB9.Hint = "正規化設定";
  E6.Hint = "比率設定";
  CB10.Hint = "ブースト設定";
  ComB1.Hint = "モード設定";
  ComB2.Hint = "レベル設定";
  CB11.Hint = "ノイズゲート設定";
  ComB3.Hint = "60/65/70/75";
  ComB4.Hint = "クオリティ設定";
  ComB5.Hint = "ビットレート設定";
  CB12.Hint = "中間ファイルを削除";
  CB13.Hint = "変換終了後に\uFF30\uFF23を自動終了します";
  DCB1.Hint = "ドライブを選択します";
  DLB1.Hint = "フォルダを選択します";
  FLB1.Hint = "変換ファイルが表示されます";
  B1.Hint = "変換を開始します";
  B2.Hint = "終了します";
  RG3.Hint = "\"シャットダウン\"と\"休止状態\"から選べます。";
}

void TForm1::SetTabOrder() {
  const std::vector<Control*> byTabOrder = {
      &CB1,   &RG1,   &CB3,  &E1,    &UD1, &CB4,   &E2,    &UD2,  &CB5,   &E3,    &UD3,
      &CB6,   &E4,    &UD4,  &CB7,   &E5,  &UD5,   &CB2,   &RG2,  &ComB4, &ComB5, &CB10,
      &ComB1, &ComB2, &CB11, &ComB3, &CB9, &E6,    &UD6,   &CB8,  &CB12,  &CB13,  &RG3,
      &DCB1,  &DLB1,  &FLB1, &B1,    &B2,  &GB_L1, &GB_L2, &GB_L3};
  for (std::size_t i = 0; i < byTabOrder.size(); ++i)
    byTabOrder[i]->TabOrder = static_cast<int>(i);
  P1.TabOrder = 0;  // its place on the window itself
  for (Control* control : controls_) {
    switch (control->Kind()) {
      case ControlKind::CheckBox:
      case ControlKind::RadioGroup:
      case ControlKind::Edit:
      case ControlKind::ComboBox:
      case ControlKind::Button:
      case ControlKind::DriveBox:
      case ControlKind::FolderList:
      case ControlKind::FileList:
        control->TabStop = true;
        break;
      default:
        break;
    }
  }
  focus_.SetTabStops(controls_);
}

void TForm1::BindEvents() {
  auto bind = [this](Control& control, void (TForm1::*handler)(Control&)) {
    control.OnClick = [this, handler](Control& sender) { (this->*handler)(sender); };
  };
  bind(B2, &TForm1::B2Click);
  bind(CB1, &TForm1::CB1Click);
  bind(CB2, &TForm1::CB2Click);
  bind(CB3, &TForm1::CB3Click);
  bind(CB4, &TForm1::CB4Click);
  bind(CB5, &TForm1::CB5Click);
  bind(CB6, &TForm1::CB6Click);
  bind(CB7, &TForm1::CB7Click);
  bind(CB10, &TForm1::CB10Click);
  bind(CB11, &TForm1::CB11Click);
  bind(CB9, &TForm1::CB9Click);
  bind(RG1, &TForm1::RG1Click);
  bind(RG2, &TForm1::RG2Click);
  bind(B1, &TForm1::B1Click);
  OnEncodeStart = [this](Control&) { RunFormBatch(*this); };
  bind(CB13, &TForm1::CB13Click);
  // Enter walks the fields like Tab; not on radio groups and buttons, whose Enter is their own.
  for (Control* control : std::initializer_list<Control*>{
           &CB1,  &CB2,   &CB3,   &E1,    &CB4,  &E2,   &CB5,  &E3,    &CB6,
           &E4,   &CB7,   &E5,    &CB8,   &CB9,  &E6,   &CB10, &ComB1, &ComB2,
           &CB11, &ComB3, &ComB4, &ComB5, &CB12, &CB13, &DCB1, &DLB1,  &FLB1}) {
    control->OnKeyPress = [this](Control& sender, char& key) { E6KeyPress(sender, key); };
  }
}

Control* TForm1::Find(const std::string& name) const {
  for (Control* control : controls_) {
    if (control->Name() == name)
      return control;
  }
  return nullptr;
}

void TForm1::E6KeyPress(Control& /*sender*/, char& key) {
  if (key != '\r')
    return;
  focus_.MoveNext(true);
  key = 0;
}

void TForm1::B1Click(Control& sender) {
  if (OnEncodeStart)
    OnEncodeStart(sender);
}

void TForm1::B2Click(Control& /*sender*/) {
  Close();
}

void TForm1::Close() {
  if (batchRunning_) {
    closePending_ = true;
    return;
  }
  closePending_ = false;
  if (OnCloseRequest)
    OnCloseRequest();
}

void TForm1::SetBatchRunning(bool running) {
  batchRunning_ = running;
  if (!running && closePending_)
    Close();
}

}  // namespace vorzik::ui
