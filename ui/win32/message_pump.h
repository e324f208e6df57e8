#pragma once

namespace vorzik::ui::win32 {

/// Dispatches every message waiting in this thread's queue, then returns; the
/// stage runner calls it between its polls so the window stays live. A quit
/// request met here is put back for the main loop.
void DispatchPendingMessages();

/// The main message loop: runs until a quit request, returns its exit code.
int RunMessageLoop();

}  // namespace vorzik::ui::win32
