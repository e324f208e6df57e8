#pragma once

#include <functional>

namespace vorzik {
class StageFiles;
class StageRunner;
}  // namespace vorzik

namespace vorzik::ui {

class BrowserQueries;

/// What the window needs from outside the model, handed in at construction.
/// A form without a runner or stage files runs no batch.
struct FormServices {
  // The drives, volumes and listings the browser controls show.
  BrowserQueries& browserQueries;
  StageRunner* runner = nullptr;
  // The files a batch's stages read and write.
  StageFiles* stageFiles = nullptr;
  // The end-of-batch power action for RG3's item index; `closeWindow` closes
  // the window that ran the batch, for an action that ends the program.
  std::function<void(int rg3Index, const std::function<void()>& closeWindow)> powerAction = {};
  // Keeps the system from sleeping on idle while true: held for a batch and
  // let go before its power action, which it must never hold up.
  std::function<void(bool hold)> keepAwake = {};
  // Ends the program after a stop signal stopped a batch and it was cleaned up.
  std::function<void(int stopSignal)> endAfterStop = {};
};

}  // namespace vorzik::ui
