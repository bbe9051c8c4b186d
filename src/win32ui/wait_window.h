#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "base/operator.h"

namespace tarvo::win32ui {

// A modeless wait window ("Connect", "Printer Busy", "Ink DisCharge"): centred, a caption bar
// without a close box, no buttons, its text, and below it what the operator could not see
// before: the seconds left of the fixed wait that runs now, and a bar of that wait or of the file
// being sent. It is painted as soon as it is made and at every change, before the caller goes
// on with its blocking work; it goes when the object goes.
//
// A window over several waits (the connect window's retries) counts them down as one span: the
// seconds left of all of them, and a bar that runs once from the first to the last.
//
// While a wait runs, a timer counts it down twice a second. The window is marked as one whose
// timers a waiting clock serves (WindowClock), so the countdown moves during the wait itself.
class WaitWindowView {
 public:
  WaitWindowView(const WaitWindow& window, HWND owner);
  ~WaitWindowView();
  WaitWindowView(const WaitWindowView&) = delete;
  WaitWindowView& operator=(const WaitWindowView&) = delete;

  // A fixed wait of `ms` starts now / has ended.
  void StartWait(int64_t ms);
  void EndWait();
  // `sent` of `total` bytes of a file have gone to the printer.
  void Progress(uint64_t sent, uint64_t total);

  HWND hwnd() const { return hwnd_; }
  // What the window shows now (tests): the countdown ("" while none runs) and the bar.
  std::wstring countdown_text() const;
  int progress_permille() const;

  // The ids of the window's controls.
  static constexpr int kTextId = 100;
  static constexpr int kCountdownId = 101;
  static constexpr int kBarId = 102;

 private:
  static INT_PTR CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  void Tick();
  void Show(int id, bool shown);

  WaitWindow window_;
  int started_ = 0;  // waits begun in this window
  HWND hwnd_ = nullptr;
  uint64_t since_ = 0;  // GetTickCount64 when the wait started
  int64_t wait_ms_ = 0;
};

// The property that marks a window whose WM_TIMER a waiting WindowClock dispatches.
inline constexpr const wchar_t* kServedDuringWaits = L"tarvo.served-during-waits";

}  // namespace tarvo::win32ui
