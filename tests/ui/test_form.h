#pragma once

#include <memory>

#include "ui/tform1.h"

namespace vorzik::ui::testing {

/// The browser queries the form is built with in the window tests; the one
/// place to change when the browser controls start using them.
BrowserQueries& TestBrowserQueries();

inline std::unique_ptr<TForm1> MakeTestForm() {
  return std::make_unique<TForm1>(FormServices{TestBrowserQueries(), nullptr, nullptr, {}});
}

}  // namespace vorzik::ui::testing
