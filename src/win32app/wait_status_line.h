#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "base/wait_observer.h"
#include "station/wait_countdown.h"

namespace tarvo::win32app {

// The main window's status line during the device layer's longer waits ("Greasing: 9 s"), also
// those no wait window shows. The device worker tells it of the waits; each news posts `message`
// to the attached window, which then shows Line() and asks again after NextChangeMs(). Any thread.
class WaitStatusLine : public WaitObserver {
 public:
  // Milliseconds of a clock that does not go backwards; default: GetTickCount's.
  using Now = std::function<int64_t()>;
  explicit WaitStatusLine(Now now = {});

  // The window told of each change, and its message; nullptr: none (the window has ended).
  void Attach(HWND window, UINT message);

  void Begins(std::string_view label, int64_t ms) override;
  void Ends() noexcept override;

  // The line to show now; empty while no wait runs.
  std::string Line() const;
  // Milliseconds until the line changes next; -1 when it no longer will.
  int64_t NextChangeMs() const;

 private:
  void Tell() const;

  Now now_;
  mutable std::mutex mutex_;
  station::WaitCountdown countdown_;
  HWND window_ = nullptr;
  UINT message_ = 0;
};

}  // namespace tarvo::win32app
