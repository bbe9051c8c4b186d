#pragma once

#include <cstdint>

namespace tarvo::xp {

// Milliseconds since the system started, from the performance counter: what GetTickCount64 gives
// on systems that have it (Vista and later). The POSIX-threads runtime times its waits with
// GetTickCount64, so on Windows XP the binaries call this instead (get_tick_count_64.cc).
uint64_t TickCountFromPerformanceCounter();

// `count` ticks of a counter running at `frequency` per second, in milliseconds, without the
// overflow of count * 1000.
constexpr uint64_t Milliseconds(uint64_t count, uint64_t frequency) {
  return count / frequency * 1000 + count % frequency * 1000 / frequency;
}

}  // namespace tarvo::xp
