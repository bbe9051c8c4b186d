#pragma once

#include <cstdint>
#include <string>

namespace tarvo::station {

// The status line of a wait that runs now: its name and the whole seconds left, rounded up
// ("Greasing: 9 s"), so that the count reads 12 s at the start of a 12 s wait and 1 s in its
// last second. Empty while no wait runs. Times are milliseconds of any clock that does not go
// backwards.
class WaitCountdown {
 public:
  void Begin(std::string label, int64_t ms, int64_t now_ms);
  void End();
  bool running() const { return running_; }

  std::string Line(int64_t now_ms) const;
  // Milliseconds from `now_ms` until the line changes next; -1 when it no longer will.
  int64_t NextChangeMs(int64_t now_ms) const;

 private:
  int64_t LeftMs(int64_t now_ms) const;

  bool running_ = false;
  std::string label_;
  int64_t end_ms_ = 0;
};

}  // namespace tarvo::station
