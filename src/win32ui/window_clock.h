#pragma once

#include <windows.h>

#include "base/clock.h"

namespace tarvo::win32ui {

// The real clock for device work done on a window thread (Fennick.dll called by a host program
// on its GUI thread): a wait keeps that thread's windows painted and the countdowns of its wait
// windows moving, so neither the host nor the wait window looks hung through a 66-second wait.
// Only paint messages and the timers of wait windows are served; input and the host's own
// messages stay queued for after the wait, so nothing else starts meanwhile. The stop request
// given with set_stop() ends a wait at once; SleepMs then throws OperationStopped.
class WindowClock : public Clock {
 public:
  int64_t NowMs() override { return real_.NowMs(); }
  void SleepMs(int64_t ms) override;
  void Elapse(int64_t ms) override;
  std::tm LocalTime() override { return real_.LocalTime(); }

  // Serves what a wait serves, once, without blocking (tests).
  static void ServeWindows();

 private:
  // Waits up to `ms`; true when the stop request ended the wait.
  bool Wait(int64_t ms);

  RealClock real_;
};

}  // namespace tarvo::win32ui
