#include "base/clock.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(VirtualClockTest, SleepsAdvanceAtOnceAndAreRecordedElapsedTimeIsNot) {
  VirtualClock clock;
  clock.SleepMs(10'000);
  clock.Elapse(500);
  clock.SleepMs(66'000);
  EXPECT_EQ(clock.NowMs(), 76'500);
  EXPECT_EQ(clock.sleeps(), (std::vector<int64_t>{10'000, 66'000}));
}

TEST(VirtualClockTest, LocalTimeMovesWithTheClock) {
  VirtualClock clock;
  std::tm t = clock.LocalTime();
  EXPECT_EQ(t.tm_year + 1900, 2004);
  EXPECT_EQ(t.tm_mon + 1, 4);
  EXPECT_EQ(t.tm_mday, 7);
  EXPECT_EQ(t.tm_hour, 9);
  EXPECT_EQ(t.tm_min, 5);
  EXPECT_EQ(t.tm_sec, 3);
  clock.SetLocalTime(2004, 3, 7, 23, 59, 59);
  clock.SleepMs(1000);
  t = clock.LocalTime();
  EXPECT_EQ(t.tm_mday, 8);
  EXPECT_EQ(t.tm_hour, 0);
  EXPECT_EQ(t.tm_min, 0);
}

TEST(VirtualClockTest, CalendarKeepsLeapDaysAndYearEnds) {
  VirtualClock clock;
  auto date = [&clock] {
    std::tm t = clock.LocalTime();
    return std::vector<int>{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                            t.tm_hour,        t.tm_min,     t.tm_sec};
  };
  clock.SetLocalTime(2004, 2, 28, 23, 59, 59);
  clock.SleepMs(1000);
  EXPECT_EQ(date(), (std::vector<int>{2004, 2, 29, 0, 0, 0}));
  clock.SleepMs(24 * 3600 * 1000);
  EXPECT_EQ(date(), (std::vector<int>{2004, 3, 1, 0, 0, 0}));
  clock.SetLocalTime(2003, 2, 28, 12, 0, 0);
  clock.SleepMs(24 * 3600 * 1000);
  EXPECT_EQ(date(), (std::vector<int>{2003, 3, 1, 12, 0, 0}));
  clock.SetLocalTime(1999, 12, 31, 23, 59, 58);
  clock.SleepMs(2000);
  EXPECT_EQ(date(), (std::vector<int>{2000, 1, 1, 0, 0, 0}));
  clock.SetLocalTime(2026, 12, 9, 3, 45, 7);
  EXPECT_EQ(date(), (std::vector<int>{2026, 12, 9, 3, 45, 7}));
}

}  // namespace
}  // namespace tarvo
