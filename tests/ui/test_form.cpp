#include "tests/ui/test_form.h"

#include "ui/browser/browser_queries.h"

namespace vorzik::ui::testing {

BrowserQueries& TestBrowserQueries() {
  // The window tests look at the form, not at the browser: the browser only
  // reads the working directory it starts in.
  static const std::unique_ptr<BrowserQueries> fs = MakeNativeBrowserQueries();
  return *fs;
}

}  // namespace vorzik::ui::testing
