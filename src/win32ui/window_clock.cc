#include "win32ui/window_clock.h"

#include <algorithm>

#include "base/stop_request.h"
#include "win32ui/wait_window.h"

namespace tarvo::win32ui {
namespace {

constexpr int64_t kServeMs = 250;

BOOL CALLBACK ServeTimers(HWND hwnd, LPARAM) {
  if (GetPropW(hwnd, kServedDuringWaits)) {
    MSG msg;
    while (PeekMessageW(&msg, hwnd, WM_TIMER, WM_TIMER, PM_REMOVE)) DispatchMessageW(&msg);
  }
  return TRUE;
}

}  // namespace

void WindowClock::ServeWindows() {
  MSG msg;
  // Painting is the same whatever window it is for; it starts nothing.
  while (PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&msg);
  EnumThreadWindows(GetCurrentThreadId(), &ServeTimers, 0);
}

bool WindowClock::Wait(int64_t ms) {
  StopRequest* request = stop();
  if (request && request->requested()) return true;
  HANDLE stopped = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!stopped) {
    if (request) return request->WaitFor(ms);
    real_.SleepMs(ms);
    return false;
  }
  bool ended = false;
  {
    StopRequest::Hook on_stop(request, [stopped] { SetEvent(stopped); });
    const int64_t deadline = real_.NowMs() + std::max<int64_t>(ms, 0);
    for (;;) {
      ServeWindows();
      const int64_t left = deadline - real_.NowMs();
      if (left <= 0) break;
      // Woken by paint and sent messages, and at least every kServeMs for the wait windows'
      // timers (waking on every timer would spin on the host's, which stay queued).
      const DWORD woken = MsgWaitForMultipleObjects(
          1, &stopped, FALSE, static_cast<DWORD>(std::min<int64_t>(left, kServeMs)),
          QS_PAINT | QS_SENDMESSAGE);
      if (woken == WAIT_OBJECT_0) {
        ended = true;
        break;
      }
      if (woken == WAIT_FAILED) {
        ended = request ? request->WaitFor(left) : (real_.SleepMs(left), false);
        break;
      }
    }
  }
  CloseHandle(stopped);
  return ended || (request && request->requested());
}

void WindowClock::SleepMs(int64_t ms) {
  if (Wait(ms)) throw OperationStopped();
}

void WindowClock::Elapse(int64_t ms) {
  Wait(ms);
}

}  // namespace tarvo::win32ui
