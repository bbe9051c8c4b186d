#include "station/wait_countdown.h"

#include <gtest/gtest.h>

namespace tarvo::station {
namespace {

TEST(WaitCountdownTest, CountsWholeSecondsDownFromTheFullWaitAndEmptiesAtTheEnd) {
  WaitCountdown countdown;
  EXPECT_EQ(countdown.Line(0), "");
  countdown.Begin("Greasing", 12'000, 5'000);
  EXPECT_EQ(countdown.Line(5'000), "Greasing: 12 s");
  EXPECT_EQ(countdown.Line(5'001), "Greasing: 12 s");
  EXPECT_EQ(countdown.Line(6'000), "Greasing: 11 s");
  EXPECT_EQ(countdown.Line(8'000), "Greasing: 9 s");
  EXPECT_EQ(countdown.Line(16'500), "Greasing: 1 s");
  // Overrun: never "0 s" while the wait is still told as running.
  EXPECT_EQ(countdown.Line(30'000), "Greasing: 1 s");
  countdown.End();
  EXPECT_FALSE(countdown.running());
  EXPECT_EQ(countdown.Line(17'000), "");
}

TEST(WaitCountdownTest, NextChangeFallsOnTheSecondBoundaries) {
  WaitCountdown countdown;
  EXPECT_EQ(countdown.NextChangeMs(0), -1);
  countdown.Begin("Charging ink", 6'000, 0);
  EXPECT_EQ(countdown.NextChangeMs(0), 1'000);
  EXPECT_EQ(countdown.NextChangeMs(250), 750);
  EXPECT_EQ(countdown.Line(250 + 750), "Charging ink: 5 s");
  EXPECT_EQ(countdown.NextChangeMs(5'200), -1);  // the last second shows until the end
  // A new wait replaces the one before.
  countdown.Begin("Printing chart", 10'000, 7'000);
  EXPECT_EQ(countdown.Line(7'000), "Printing chart: 10 s");
}

}  // namespace
}  // namespace tarvo::station
