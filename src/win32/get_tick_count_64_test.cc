#include "win32/xp/get_tick_count_64.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>

namespace tarvo::xp {
namespace {

TEST(GetTickCount64Test, CounterTicksBecomeMillisecondsWithoutOverflow) {
  EXPECT_EQ(Milliseconds(0, 10'000'000), 0u);
  EXPECT_EQ(Milliseconds(9'999, 10'000'000), 0u);
  EXPECT_EQ(Milliseconds(10'000, 10'000'000), 1u);
  // 3.579545 MHz, the old PC timer: 1'789'772 ticks fall just short of half a second.
  EXPECT_EQ(Milliseconds(3'579'545 * 2 + 1'789'772, 3'579'545), 2'499u);
  EXPECT_EQ(Milliseconds(3'579'545 * 2 + 1'789'773, 3'579'545), 2'500u);
  // 2^62 ticks at 10 MHz: count * 1000 would not fit in 64 bits.
  const uint64_t big = uint64_t{1} << 62;
  EXPECT_EQ(Milliseconds(big, 10'000'000), big / 10'000);
}

// The binary calls GetTickCount64 through the slot of get_tick_count_64.cc: the first call finds
// the system's function (Wine has it), which counts what GetTickCount counts. The XP stand-in
// never runs backwards.
TEST(GetTickCount64Test, TheSlotReachesTheSystemTickCountAndTheStandInIsMonotonic) {
  const uint32_t before = GetTickCount();
  const uint64_t through_slot = GetTickCount64();
  const uint64_t again = GetTickCount64();
  const uint32_t after = GetTickCount();
  EXPECT_LE(through_slot, again);
  // GetTickCount wraps after 49.7 days: its 32 bits are compared with the low half.
  EXPECT_LE(static_cast<uint32_t>(through_slot) - before, after - before);
  EXPECT_LE(after - static_cast<uint32_t>(again), after - before);

  const uint64_t first = TickCountFromPerformanceCounter();
  EXPECT_GT(first, 0u);
  EXPECT_LE(first, TickCountFromPerformanceCounter());
}

}  // namespace
}  // namespace tarvo::xp
