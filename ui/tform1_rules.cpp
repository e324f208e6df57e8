// The enabling rules: each click handler sets the enabled state of a fixed set
// of controls, in a fixed order, from the current ticks and indexes. They never
// change a value, and none runs at start.

#include "ui/tform1.h"

namespace vorzik::ui {

void TForm1::CB3Click(Control& /*sender*/) {
  E1.SetEnabled(CB3.Checked());
  UD1.SetEnabled(CB3.Checked());
}

void TForm1::CB4Click(Control& /*sender*/) {
  E2.SetEnabled(CB4.Checked());
  UD2.SetEnabled(CB4.Checked());
}

void TForm1::CB5Click(Control& /*sender*/) {
  E3.SetEnabled(CB5.Checked());
  UD3.SetEnabled(CB5.Checked());
}

void TForm1::CB6Click(Control& /*sender*/) {
  E4.SetEnabled(CB6.Checked());
  UD4.SetEnabled(CB6.Checked());
}

void TForm1::CB7Click(Control& /*sender*/) {
  E5.SetEnabled(CB7.Checked());
  UD5.SetEnabled(CB7.Checked());
}

void TForm1::CB9Click(Control& /*sender*/) {
  E6.SetEnabled(CB9.Checked());
  UD6.SetEnabled(CB9.Checked());
}

void TForm1::CB10Click(Control& /*sender*/) {
  ComB1.SetEnabled(CB10.Checked());
  ComB2.SetEnabled(CB10.Checked());
}

void TForm1::CB11Click(Control& /*sender*/) {
  ComB3.SetEnabled(CB11.Checked());
}

void TForm1::CB13Click(Control& /*sender*/) {
  RG3.SetEnabled(CB13.Checked());
}

void TForm1::CB1Click(Control& /*sender*/) {
  FilterRule();
}
void TForm1::RG1Click(Control& /*sender*/) {
  FilterRule();
}
void TForm1::CB2Click(Control& /*sender*/) {
  EncoderRule();
}
void TForm1::RG2Click(Control& /*sender*/) {
  EncoderRule();
}

// The Quality row serves the FIR variant only; the other four rows serve both.
void TForm1::FilterRule() {
  const int variant = RG1.ItemIndex();
  if (variant != 0 && variant != 1)
    return;
  const bool fir = variant == 0;
  if (CB1.Checked()) {
    RG1.SetEnabled(true);
    CB3.SetEnabled(fir);
    CB4.SetEnabled(true);
    CB5.SetEnabled(true);
    CB6.SetEnabled(true);
    CB7.SetEnabled(true);
    E1.SetEnabled(fir && CB3.Checked());
    UD1.SetEnabled(fir && CB3.Checked());
    CB4Click(CB4);
    CB5Click(CB5);
    CB6Click(CB6);
    CB7Click(CB7);
    return;
  }
  for (Control* control :
       std::initializer_list<Control*>{&RG1, &CB3, &CB4, &CB5, &CB6, &CB7, &E1, &UD1, &E2, &UD2,
                                       &E3, &UD3, &E4, &UD4, &E5, &UD5}) {
    control->SetEnabled(false);
  }
}

// Boost exists for AC3 only, the bit rate for MP2 and AC3, the VBR quality for Ogg Vorbis.
void TForm1::EncoderRule() {
  const int mode = RG2.ItemIndex();
  if (mode < 0 || mode > 2)
    return;
  if (!CB2.Checked()) {
    for (Control* control : std::initializer_list<Control*>{
             &RG2, &CB8, &CB10, &CB11, &L1, &L2, &ComB1, &ComB2, &ComB3, &ComB4, &ComB5}) {
      control->SetEnabled(false);
    }
    return;
  }
  const bool mp2 = mode == 0;
  const bool ac3 = mode == 1;
  const bool ogg = mode == 2;
  RG2.SetEnabled(true);
  CB8.SetEnabled(mp2);
  CB10.SetEnabled(ac3);
  CB11.SetEnabled(true);
  L1.SetEnabled(ogg);
  L2.SetEnabled(!ogg);
  if (!ac3) {
    ComB1.SetEnabled(false);
    ComB2.SetEnabled(false);
  }
  ComB4.SetEnabled(ogg);
  ComB5.SetEnabled(!ogg);
  if (ac3)
    CB10Click(CB10);
  CB11Click(CB11);
}

}  // namespace vorzik::ui
