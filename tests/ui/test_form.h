#pragma once

#include <memory>
#include <vector>

#include "ui/tform1.h"

namespace vorzik::ui::testing {

/// The browser queries the form is built with in the window tests; the one
/// place to change when the browser controls start using them.
BrowserQueries& TestBrowserQueries();

inline std::unique_ptr<TForm1> MakeTestForm() {
  return std::make_unique<TForm1>(FormServices{TestBrowserQueries(), nullptr, nullptr, {}});
}

/// The controls the Tab key stops at, in declaration order, whether enabled or not.
inline std::vector<Control*> TabStopsOf(const TForm1& form) {
  std::vector<Control*> stops;
  for (Control* control : form.Controls()) {
    if (control->TabStop)
      stops.push_back(control);
  }
  return stops;
}

}  // namespace vorzik::ui::testing
