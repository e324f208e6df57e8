#pragma once

#include <functional>

namespace vorzik::bench {

// Shows the file list in a widget offscreen; Refresh() re-reads the list and
// returns once the widget has its rows and has painted them.
class ShownFileList {
 public:
  virtual ~ShownFileList() = default;
  virtual void Refresh() = 0;
  virtual int Rows() const = 0;
};

}  // namespace vorzik::bench
