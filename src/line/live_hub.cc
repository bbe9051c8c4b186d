#include "line/live_hub.h"

namespace tarvo::line {

void LiveHub::Publish(const std::string& table) {
  {
    std::lock_guard lock(mutex_);
    ++count_;
    last_table_ = table;
  }
  changed_.notify_all();
}

uint64_t LiveHub::WaitAfter(uint64_t seen, std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, timeout, [&] { return count_ > seen || closed_; });
  return count_;
}

uint64_t LiveHub::count() const {
  std::lock_guard lock(mutex_);
  return count_;
}

std::string LiveHub::last_table() const {
  std::lock_guard lock(mutex_);
  return last_table_;
}

void LiveHub::Close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  changed_.notify_all();
}

bool LiveHub::closed() const {
  std::lock_guard lock(mutex_);
  return closed_;
}

}  // namespace tarvo::line
