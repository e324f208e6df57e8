#pragma once

#include <windows.h>

#include "shell/power/sleep_inhibitor.h"

namespace vorzik::shell {

/// SetThreadExecutionState, as a plain pointer so a test can record the calls.
using SetThreadExecutionStateCall = EXECUTION_STATE(WINAPI*)(EXECUTION_STATE);

/// The system stays awake while the program says it is needed: the state is
/// set with ES_CONTINUOUS, so it lasts until it is cleared. Both calls come
/// from the window's thread, whose state this is.
class Win32SleepInhibitor : public SleepInhibitor {
 public:
  explicit Win32SleepInhibitor(SetThreadExecutionStateCall call) : call_(call) {}
  ~Win32SleepInhibitor() override { Release(); }
  Win32SleepInhibitor(const Win32SleepInhibitor&) = delete;
  Win32SleepInhibitor& operator=(const Win32SleepInhibitor&) = delete;

  void Hold() override;
  void Release() override;
  bool Held() const override { return held_; }

 private:
  SetThreadExecutionStateCall call_;
  bool held_ = false;
};

}  // namespace vorzik::shell
