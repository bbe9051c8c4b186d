// A host that gets the calling order wrong: two of its threads call exports at the same time.
// Each call waits for the other's to end; none may break the library.
#include <gmock/gmock.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <thread>

#include "library_host_test.h"

namespace fennick_test {
namespace {

using HostThreadsTest = LibraryTest;

TEST_F(HostThreadsTest, ExportsCalledFromTwoThreadsAtOnceTakeTurns) {
  SeedEeprom(SampleImage());
  Api& api = LoadOpen();
  const std::array<uint8_t, 128> image = SampleImage();
  // Each export takes microseconds: many calls, so that the threads call into the library at the
  // same time often (counted on the host's side), also on a busy machine.
  constexpr int kCalls = 10'000;
  std::atomic<int> wrong = 0;
  std::atomic<int> overlaps = 0;
  std::atomic<bool> in_opener = false, in_reader = false;
  std::atomic<int> ready = 0;
  auto start_together = [&] {
    ++ready;
    while (ready < 2) std::this_thread::yield();
  };

  // One thread opens the link again and again (which closes it first) and reads the
  // temperature; the other reads the head data block and the firmware version meanwhile.
  std::thread opener([&] {
    start_together();
    for (int i = 0; i < kCalls; ++i) {
      in_opener = true;
      if (in_reader) ++overlaps;
      if (api.HandleOpen() != 1) ++wrong;
      if (api.ReadTemperatureBegin() != 25) ++wrong;
      in_opener = false;
    }
  });
  start_together();
  for (int i = 0; i < kCalls; ++i) {
    in_reader = true;
    if (in_opener) ++overlaps;
    unsigned char block[41] = {};
    api.ReadData(block, nullptr);
    if (!std::equal(block, block + 41, image.begin())) ++wrong;
    uint32_t version = 0;
    if (api.ReadRamFWPtr(&version) != 1 || version != 0x33373030u) ++wrong;
    in_reader = false;
  }
  opener.join();

  RecordProperty("overlaps", overlaps.load());
  EXPECT_EQ(wrong, 0);
  EXPECT_THAT(Messages(), ::testing::IsEmpty());
  EXPECT_NE(api.HandleClose(), 0);
  EXPECT_EQ(Eeprom(), std::vector<uint8_t>(image.begin(), image.end()));
}

}  // namespace
}  // namespace fennick_test
