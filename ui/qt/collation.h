#pragma once

#include "ui/browser/browser_queries.h"

namespace vorzik::ui::qt {

/// Names compared as the user's locale sorts them, letter case ignored; the
/// browser's lists take it where the platform has no collation of its own.
NameCollation UserLocaleCollation();

}  // namespace vorzik::ui::qt
