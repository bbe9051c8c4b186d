#include "win32ui/window_clock.h"

#include <gmock/gmock.h>

#include <thread>

#include "base/stop_request.h"
#include "base/wait_windows.h"
#include "win32ui/wait_window.h"
#include "win32ui/window_robot_test.h"

namespace tarvo::win32ui {
namespace {

// A wait serves the countdown of the wait window and the painting of every window, and leaves
// the host's own messages queued for after it.
TEST(WindowClock, AWaitMovesTheWaitWindowsCountdownButLeavesTheHostsMessagesQueued) {
  HWND host = CreateWindowExW(0, L"Static", L"host", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                              nullptr, nullptr);
  ASSERT_NE(host, nullptr);
  WaitWindowView view(InkDisChargeWindow(kLibraryEdition), host);
  view.StartWait(10'000);
  SetDlgItemTextW(view.hwnd(), WaitWindowView::kCountdownId, L"stale");
  PostMessageW(view.hwnd(), WM_TIMER, 1, 0);  // the countdown's tick
  PostMessageW(host, WM_TIMER, 7, 0);
  PostMessageW(host, WM_LBUTTONDOWN, 0, 0);
  InvalidateRect(host, nullptr, TRUE);

  WindowClock::ServeWindows();
  EXPECT_EQ(view.countdown_text(), L"10 s");
  EXPECT_FALSE(GetUpdateRect(host, nullptr, FALSE));  // painted
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, host, WM_TIMER, WM_TIMER, PM_REMOVE));
  EXPECT_TRUE(PeekMessageW(&msg, host, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
  DestroyWindow(host);
}

TEST(WindowClock, AStopRequestEndsAWaitAtOnce) {
  StopRequest stop;
  WindowClock clock;
  clock.set_stop(&stop);
  stop.Request();
  EXPECT_THROW(clock.SleepMs(60'000), OperationStopped);
  clock.Elapse(60'000);  // a transfer's time ends too, without throwing

  // Made from another thread while the wait runs.
  stop.Clear();
  std::thread stopper([&stop] { stop.Request(); });
  EXPECT_THROW(clock.SleepMs(600'000), OperationStopped);
  stopper.join();
}

}  // namespace
}  // namespace tarvo::win32ui
