#pragma once

#include <functional>

namespace vorzik {
class StageFiles;
class StageRunner;
}  // namespace vorzik

namespace vorzik::ui {

class BrowserQueries;

/// What the window needs from outside the model, handed in at construction.
/// A form without a runner or file system runs no batch.
struct FormServices {
  BrowserQueries& browserFs;
  StageRunner* runner = nullptr;
  StageFiles* files = nullptr;
  // The end-of-batch power action for RG3's item index.
  std::function<void(int rg3Index)> powerAction = {};
  // Keeps the system from sleeping on idle while true: held for a batch and
  // let go before its power action, which it must never hold up.
  std::function<void(bool hold)> keepAwake = {};
  // Ends the program after a stop signal stopped a batch and it was cleaned up.
  std::function<void(int stopSignal)> endAfterStop = {};
};

}  // namespace vorzik::ui
