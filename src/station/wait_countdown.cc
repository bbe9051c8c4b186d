#include "station/wait_countdown.h"

#include <algorithm>
#include <utility>

namespace tarvo::station {

void WaitCountdown::Begin(std::string label, int64_t ms, int64_t now_ms) {
  running_ = true;
  label_ = std::move(label);
  end_ms_ = now_ms + std::max<int64_t>(ms, 0);
}

void WaitCountdown::End() {
  running_ = false;
  label_.clear();
}

int64_t WaitCountdown::LeftMs(int64_t now_ms) const {
  return std::max<int64_t>(end_ms_ - now_ms, 0);
}

std::string WaitCountdown::Line(int64_t now_ms) const {
  if (!running_) return {};
  // A wait that has overrun its time (a busy machine) stays at 1 s until it is told to end.
  const int64_t seconds = std::max<int64_t>((LeftMs(now_ms) + 999) / 1000, 1);
  return label_ + ": " + std::to_string(seconds) + " s";
}

int64_t WaitCountdown::NextChangeMs(int64_t now_ms) const {
  const int64_t left = LeftMs(now_ms);
  if (!running_ || left <= 1000) return -1;
  // The count drops when the time left crosses the next whole second.
  const int64_t step = left % 1000;
  return step == 0 ? 1000 : step;
}

}  // namespace tarvo::station
