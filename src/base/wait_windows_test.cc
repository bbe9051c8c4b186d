#include "base/wait_windows.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(WaitWindows, TheConnectWindowCountsItsRetriesAsOneSpan) {
  const WaitWindow connect = ConnectWindow(kProgramEdition, 10);
  EXPECT_EQ(connect.id, 196);
  EXPECT_EQ(connect.text, "Connecting....Please Wait !!");
  EXPECT_EQ(connect.waits, 10);
  EXPECT_EQ(ConnectWindow(kLibraryEdition, 10).text, "連線中....請稍等 !!");
  // The first retry has just begun: all ten seconds are left, the bar has not moved.
  EXPECT_EQ(ShowWait(connect, 1, 1000, 0).left_ms, 10'000);
  EXPECT_EQ(ShowWait(connect, 1, 1000, 0).permille, 0);
  // Halfway through the fourth: the bar does not start again at each retry.
  EXPECT_EQ(ShowWait(connect, 4, 1000, 500).left_ms, 6'500);
  EXPECT_EQ(ShowWait(connect, 4, 1000, 500).permille, 350);
  EXPECT_EQ(SecondsLeft(ShowWait(connect, 4, 1000, 500).left_ms), 7);
  // The last one over: the bar is full. Time past a wait's end counts as its end.
  EXPECT_EQ(ShowWait(connect, 10, 1000, 1500).left_ms, 0);
  EXPECT_EQ(ShowWait(connect, 10, 1000, 1500).permille, 1000);
}

TEST(WaitWindows, AWindowOverNoCountedWaitsCountsEachWaitOnItsOwn) {
  const WaitWindow busy = PrinterBusyWindow(kProgramEdition);
  EXPECT_EQ(busy.waits, 0);
  EXPECT_EQ(ShowWait(busy, 1, 10'000, 3'500).left_ms, 6'500);
  EXPECT_EQ(ShowWait(busy, 1, 10'000, 3'500).permille, 350);
  // A second wait in the same window starts its own count.
  EXPECT_EQ(ShowWait(busy, 2, 15'000, 0).left_ms, 15'000);
  EXPECT_EQ(ShowWait(busy, 2, 15'000, 0).permille, 0);
  // More waits than the window expected: the span grows instead of running past its end.
  const WaitWindow two = ConnectWindow(kProgramEdition, 2);
  EXPECT_EQ(ShowWait(two, 3, 1000, 0).left_ms, 1000);
  EXPECT_EQ(ShowWait(two, 3, 1000, 0).permille, 666);
  // A wait of no length shows a full bar, not a division by zero.
  EXPECT_EQ(ShowWait(busy, 1, 0, 0).permille, 1000);
  EXPECT_EQ(SecondsLeft(1), 1);
  EXPECT_EQ(SecondsLeft(0), 0);
  EXPECT_EQ(SecondsLeft(-5), 0);
}

}  // namespace
}  // namespace tarvo
