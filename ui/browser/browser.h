#pragma once

// The drive box, folder list and file list of the window's lower part.

#include "ui/browser/browser_queries.h"     // IWYU pragma: export
#include "ui/browser/directory_list_box.h"  // IWYU pragma: export
#include "ui/browser/drive_combo_box.h"     // IWYU pragma: export
#include "ui/browser/file_list_box.h"       // IWYU pragma: export
