#pragma once

#include <map>
#include <string>

#include "ui/tform1.h"

namespace vorzik::ui::testing {

// Every enabled state and every value, to see what a rule touched.
struct Snapshot {
  std::map<std::string, bool> enabled;
  std::map<std::string, std::string> values;
  bool operator==(const Snapshot&) const = default;
};

inline Snapshot Take(TForm1& form) {
  Snapshot s;
  for (Control* c : form.Controls()) {
    s.enabled[c->Name()] = c->Enabled();
    if (auto* b = dynamic_cast<CheckBox*>(c))
      s.values[c->Name()] = b->Checked() ? "1" : "0";
    if (auto* g = dynamic_cast<RadioGroup*>(c))
      s.values[c->Name()] = std::to_string(g->ItemIndex());
    if (auto* e = dynamic_cast<Edit*>(c))
      s.values[c->Name()] = e->Text();
    if (auto* x = dynamic_cast<ComboBox*>(c))
      s.values[c->Name()] = x->Text();
  }
  return s;
}

}  // namespace vorzik::ui::testing
