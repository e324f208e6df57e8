#include "tests/ui/test_form.h"

#include "ui/browser/file_system_queries.h"

namespace vorzik::ui::testing {

FileSystemQueries& TestFileSystem() {
  // The window tests look at the form, not at the browser: the browser only
  // reads the working directory it starts in.
  static const std::unique_ptr<FileSystemQueries> fs = MakeNativeFileSystemQueries();
  return *fs;
}

}  // namespace vorzik::ui::testing
