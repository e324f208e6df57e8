#pragma once

namespace vorzik::ui {

class FileSystemQueries;

/// What the window needs from outside the model, handed in at construction.
struct FormServices {
  FileSystemQueries& browserFs;
};

}  // namespace vorzik::ui
