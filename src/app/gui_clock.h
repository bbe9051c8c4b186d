#pragma once

#include "base/clock.h"
#include "base/stop_request.h"

namespace tarvo::app {

// The real clock for device work done on the window thread itself (libfennick called by a host
// on its GUI thread, or by a host without Qt on the thread where the library made its
// QApplication): a wait serves that thread's events until it is over, so the wait windows stay
// painted and count down; input events are held back, so nothing else starts meanwhile. On any
// other thread it waits as RealClock does. The stop request given with set_stop() ends a wait at
// once; SleepMs then throws OperationStopped.
class GuiClock : public Clock {
 public:
  int64_t NowMs() override { return real_.NowMs(); }
  void SleepMs(int64_t ms) override;
  void Elapse(int64_t ms) override;
  std::tm LocalTime() override { return real_.LocalTime(); }

 private:
  // Waits up to `ms`; true when the stop request ended the wait.
  bool Wait(int64_t ms);

  RealClock real_;
};

}  // namespace tarvo::app
